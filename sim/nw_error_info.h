// The error record every call fills: what went wrong, or that nothing did.
#pragma once

#include <string>

#include "rfc/netweaver/nwrfc_api.h"

namespace nwsim {

struct Failure {
  int code = NW_OK;
  int group = 0;
  std::string key;
  std::string message;
  // An ABAP message behind the failure, when there is one.
  std::string abapClass;
  std::string abapType;
  std::string abapNumber;
  std::string abapV1;
};

Failure MakeFailure(int code, int group, const std::string& key, const std::string& message);

// Fills `error` (when not null) and returns the failure's code.
int Report(NwErrorInfo* error, const Failure& failure);

// Code 0, group 0 and empty texts.
int Succeed(NwErrorInfo* error);

// The failures of the calls themselves, in group 5.
Failure InvalidHandle(const std::string& message);
Failure InvalidParameter(const std::string& message);
Failure NotFound(const std::string& message);
Failure ConversionFailure(const std::string& message);
Failure BufferTooSmall(const std::string& message);

}  // namespace nwsim
