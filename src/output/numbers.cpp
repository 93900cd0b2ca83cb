#include "output/numbers.h"

namespace fennick {

std::string GroupThousands(const std::string& digits) {
  if (!digits.empty() && digits[0] == '-') return "-" + GroupThousands(digits.substr(1));
  size_t n = digits.size();
  if (n < 4) return digits;
  if (n <= 6) return digits.substr(0, n - 3) + "." + digits.substr(n - 3);
  return digits.substr(0, n - 6) + "." + digits.substr(n - 6, 3) + "." + digits.substr(n - 3);
}

}  // namespace fennick
