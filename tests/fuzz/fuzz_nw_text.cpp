// What the NetWeaver library hands over as text: packed fields read with
// RfcGetString, and the messages of its error records.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "rfc/netweaver/nw_text.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The packed value agrees with the digits the text leads with.
void CheckPackedText(const std::string& text) {
  const int64_t value = fennick::PackedTextValue(text);
  size_t i = text.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string::npos) {
    fuzz::Check(value == 0, "a text without digits has a value", text);
    return;
  }
  const bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  if (i >= text.size() || !IsDigit(text[i])) {
    fuzz::Check(value == 0, "a text without leading digits has a value", text);
    return;
  }
  fuzz::Check(negative ? value <= 0 : value >= 0, "the sign is lost", text);
  // A short run of digits is read exactly.
  size_t end = i;
  while (end < text.size() && IsDigit(text[end])) ++end;
  if (end - i <= 18) {
    int64_t expected = 0;
    for (size_t k = i; k < end; ++k) expected = expected * 10 + (text[k] - '0');
    fuzz::Check(value == (negative ? -expected : expected), "digits read wrongly", text);
  }
}

void CheckMessageText(const std::string& message) {
  const std::string text = fennick::MessageText(message);
  // It goes into a one-line error text after " - ".
  fuzz::Check(text.find('\n') == std::string::npos, "message text holds a line end", text);
  fuzz::Check(text.size() <= message.size(), "message text longer than the message", text);
  fuzz::Check(text.empty() || (text.front() != ' ' && text.back() != ' '), "message text not trimmed", text);
  fuzz::Check(message.find(text) != std::string::npos, "message text is not part of the message", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input = fuzz::Text(data, size);
  CheckPackedText(input);
  CheckMessageText(input);
  // Through the library's UTF-16 and back, every byte stays what it was.
  std::vector<NwChar> units = fennick::ToNwText(input);
  const std::string back = fennick::FromNwText(units.data(), units.size());
  fuzz::Check(back == input.substr(0, input.find('\0')), "bytes changed through UTF-16", back);
  return 0;
}
