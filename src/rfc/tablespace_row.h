// One tablespace as a system reports it, in plain values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fennick {

struct TablespaceRow {
  std::string name;  // without trailing blanks
  int64_t sizeKb = 0;
  int64_t freeKb = 0;
  int32_t pctUsed = 0;
  // TSAU trimmed of blanks, when it is a whole number of 0 or more that
  // fits in int64; else none. Whether it is a usable maximum (above the
  // size) is the evaluation's question.
  std::optional<int64_t> autoextendKb;
  int32_t autoextendPct = 0;  // TSAUPCT
  std::string status;         // STATUS trimmed of blanks, bytes as they are
};

// A CHAR field's text without the blanks (spaces) that pad it, at either
// end; every other byte stays as it is.
std::string TrimFieldBlanks(const std::string& text);

// TSAU as both libraries hand it over: after trimming blanks, ASCII digits
// only (no sign, no blank inside) whose value fits in int64; else none.
std::optional<int64_t> AutoextendKbOf(const std::string& text);

}  // namespace fennick
