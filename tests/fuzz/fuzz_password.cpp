// Password values: what fennick-passwd writes, the probe must read back.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "profile/password.h"

namespace {

bool Printable(unsigned char c) { return c >= 0x20 && c <= 0x7E; }

bool Printable(const std::string& text) {
  for (unsigned char c : text) {
    if (!Printable(c)) return false;
  }
  return true;
}

// Whether some key offset lets every password character and the header show
// as printable characters, with no blank at either end of the value. Where
// the key turns a character into DEL at every offset, no value exists and
// the refusal is right. Body character b is key byte offset + b; password
// character i sits at body position i/2 (even i) or 19 - i/2 (odd i).
bool ValueExists(const std::string& password, const fennick::PasswordKey& key) {
  for (size_t offset = 0; offset < 10; ++offset) {
    bool fits = true;
    for (size_t i = 0; i < password.size() && fits; ++i) {
      const size_t body = i % 2 == 0 ? i / 2 : 19 - i / 2;
      const unsigned char shown = static_cast<unsigned char>(password[i]) ^ key[offset + body];
      fits = Printable(shown) && !(body == 19 && shown == ' ');
    }
    // The header digits: check digit, offset, two length digits.
    for (size_t j = 0; j < 4 && fits; ++j) {
      for (unsigned char digit = '0'; digit <= '9' && fits; ++digit) {
        fits = Printable(static_cast<unsigned char>(digit ^ key[j])) && !(j == 0 && (digit ^ key[j]) == ' ');
      }
    }
    if (fits) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  static const fennick::PasswordKey key = fennick::BuildPasswordKey();
  const unsigned seed = static_cast<unsigned>(data[0]) | static_cast<unsigned>(data[1]) << 8 |
                        static_cast<unsigned>(data[2]) << 16 | static_cast<unsigned>(data[3]) << 24;
  const std::string password = fuzz::Text(data + 4, size - 4);

  std::optional<std::string> value = fennick::ScramblePassword(password, key, seed);
  const bool representable = !password.empty() && password.size() <= 20 && Printable(password);
  if (!representable) {
    fuzz::Check(!value, "accepted a password it cannot represent", password);
    return 0;
  }
  if (!value) {
    fuzz::Check(!ValueExists(password, key), "refused a password that has a printable value", password);
    return 0;
  }
  fuzz::Check(value->size() == 24 && Printable(*value), "value is not 24 printable characters", *value);
  fuzz::Check(value->front() != ' ' && value->back() != ' ', "value starts or ends with a blank", *value);

  fennick::UnscrambleResult back = fennick::UnscramblePassword(*value, key);
  fuzz::Check(back.check == fennick::UnscrambleCheck::Ok, "own value fails the checks", *value);
  fuzz::Check(back.password == password, "password does not come back", password + " -> " + back.password);
  return 0;
}
