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

StepResult Failed(NwState& state, const NwErrorInfo& error) {
  state.failure.code = error.code;
  state.failure.key = FromNwText(error.key, sizeof error.key / sizeof error.key[0]);
  state.failure.text = MessageText(FromNwText(error.message, sizeof error.message / sizeof error.message[0]));
  StepResult result;
  result.code = StepCode(error.code);
  if (result.code == 2) result.exception = state.failure.key;
  return result;
}

std::string FailureSuffix(const NwState& state) {
  if (state.failure.code == NW_ABAP_EXCEPTION || state.failure.text.empty()) return std::string();
  return " - " + state.failure.text;
}

}  // namespace fennick
