#include "profile/failure.h"

namespace fennick {

RunFailure NumberedFailure(int number, const std::string& text) {
  return RunFailure{"Error " + std::to_string(number) + ": " + text, number};
}

}  // namespace fennick
