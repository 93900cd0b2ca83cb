// A failure that ends the run: the message for the error document.
#pragma once

#include <optional>
#include <string>

namespace fennick {

struct RunFailure {
  std::string message;
};
using Failure = std::optional<RunFailure>;

}  // namespace fennick
