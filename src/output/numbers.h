// Thousands grouping for the summary line.
#pragma once

#include <string>

namespace fennick {

// Digits grouped by thousands with full stops, at most two of them:
// 12345 -> 12.345, 1234567890 -> 1234.567.890. A leading minus stays in front.
std::string GroupThousands(const std::string& digits);

}  // namespace fennick
