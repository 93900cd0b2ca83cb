// A failure that ends the run: the message for the error document, and its
// number where it has one (1002 for "Error 1002: ..."), which the forms
// that have states read instead of the text.
#pragma once

#include <optional>
#include <string>

namespace fennick {

struct RunFailure {
  std::string message;
  int number = 0;  // 0: a message without a number
};
using Failure = std::optional<RunFailure>;

// "Error NNNN: " + text, carrying its number.
RunFailure NumberedFailure(int number, const std::string& text);

}  // namespace fennick
