#include "nw_error_info.h"

#include <cstring>

#include "nw_text.h"

namespace nwsim {

Failure MakeFailure(int code, int group, const std::string& key, const std::string& message) {
  Failure failure;
  failure.code = code;
  failure.group = group;
  failure.key = key;
  failure.message = message;
  return failure;
}

int Report(NwErrorInfo* error, const Failure& failure) {
  if (!error) return failure.code;
  std::memset(error, 0, sizeof *error);
  error->code = failure.code;
  error->group = failure.group;
  CopyToField(error->key, sizeof error->key / sizeof error->key[0], failure.key);
  CopyToField(error->message, sizeof error->message / sizeof error->message[0], failure.message);
  CopyToField(error->abapMsgClass, sizeof error->abapMsgClass / sizeof error->abapMsgClass[0], failure.abapClass);
  CopyToField(error->abapMsgType, sizeof error->abapMsgType / sizeof error->abapMsgType[0], failure.abapType);
  CopyToField(error->abapMsgNumber, sizeof error->abapMsgNumber / sizeof error->abapMsgNumber[0], failure.abapNumber);
  CopyToField(error->abapMsgV1, sizeof error->abapMsgV1 / sizeof error->abapMsgV1[0], failure.abapV1);
  return failure.code;
}

int Succeed(NwErrorInfo* error) { return Report(error, Failure()); }

Failure InvalidHandle(const std::string& message) {
  return MakeFailure(NW_INVALID_HANDLE, NW_GROUP_EXTERNAL_RUNTIME, "RFC_INVALID_HANDLE", message);
}

Failure InvalidParameter(const std::string& message) {
  return MakeFailure(NW_INVALID_PARAMETER, NW_GROUP_EXTERNAL_RUNTIME, "RFC_INVALID_PARAMETER", message);
}

Failure NotFound(const std::string& message) {
  return MakeFailure(NW_NOT_FOUND, NW_GROUP_EXTERNAL_RUNTIME, "RFC_NOT_FOUND", message);
}

Failure ConversionFailure(const std::string& message) {
  return MakeFailure(NW_CONVERSION_FAILURE, NW_GROUP_EXTERNAL_RUNTIME, "RFC_CONVERSION_FAILURE", message);
}

Failure BufferTooSmall(const std::string& message) {
  return MakeFailure(NW_BUFFER_TOO_SMALL, NW_GROUP_EXTERNAL_RUNTIME, "RFC_BUFFER_TOO_SMALL", message);
}

}  // namespace nwsim
