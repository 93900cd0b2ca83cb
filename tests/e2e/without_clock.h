// What two runs of one group must share: the same bytes but for the clock
// in console lines, the time stamps in the library's trace file and the
// run's duration in a Prometheus document.
#pragma once

#include <string>

inline std::string WithoutClock(std::string text) {
  auto digit = [&text](size_t k) { return text[k] >= '0' && text[k] <= '9'; };
  for (size_t i = 0; i + 8 <= text.size(); ++i) {
    if (digit(i) && digit(i + 1) && text[i + 2] == ':' && digit(i + 3) && digit(i + 4) && text[i + 5] == ':' &&
        digit(i + 6) && digit(i + 7))
      text.replace(i, 8, "HH:MM:SS");
  }
  const std::string opened = "file opened at ";
  for (size_t at = text.find(opened); at != std::string::npos; at = text.find(opened, at + 1)) {
    for (size_t i = at + opened.size(); i < text.size() && text[i] != ',' && text[i] != '\n'; ++i) {
      if (digit(i)) text[i] = '0';
    }
  }
  const std::string duration = "\nfennick_run_duration_seconds{";
  for (size_t at = text.find(duration); at != std::string::npos; at = text.find(duration, at + 1)) {
    const size_t value = text.find("} ", at);
    const size_t end = text.find('\n', at + 1);
    if (value != std::string::npos && value < end) text.replace(value + 2, end - value - 2, "S");
  }
  return text;
}
