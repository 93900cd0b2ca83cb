#include "rfc/netweaver/nw_state.h"

#include "rfc/netweaver/nw_text.h"

namespace fennick {

namespace {

int StepCode(int code) {
  switch (code) {
    case NW_ABAP_EXCEPTION: return 2;
    case NW_ABAP_RUNTIME_FAILURE:
    case NW_ABAP_MESSAGE: return 3;
    case NW_COMMUNICATION_FAILURE:
    case NW_LOGON_FAILURE:
    case NW_CLOSED:
    case NW_CANCELED:
    case NW_TIMEOUT: return 1;
    default: return code == 0 ? 4 : code;  // a failure without a code is still one
  }
}

}  // namespace

StepResult Failed(RfcWork& work, const NwErrorInfo& error) {
  const std::string key = FromNwText(error.key, sizeof error.key / sizeof error.key[0]);
  const std::string text = MessageText(FromNwText(error.message, sizeof error.message / sizeof error.message[0]));
  // An exception's name is in its message already.
  work.failureSuffix = error.code == NW_ABAP_EXCEPTION || text.empty() ? std::string() : " - " + text;
  StepResult result;
  result.code = StepCode(error.code);
  if (result.code == 2) result.exception = key;
  return result;
}

void Refused(RfcWork& work, const std::string& text) { work.failureSuffix = text.empty() ? text : " - " + text; }

}  // namespace fennick
