// One tablespace as a system reports it, in plain values.
#pragma once

#include <cstdint>
#include <string>

namespace fennick {

struct TablespaceRow {
  std::string name;  // without trailing blanks
  int64_t sizeKb = 0;
  int64_t freeKb = 0;
  int32_t pctUsed = 0;
};

}  // namespace fennick
