#include "profile/password.h"

#include <cstdint>

namespace fennick {

namespace {

const size_t kValueLength = 24;
const size_t kHeaderLength = 4;
const size_t kBodyLength = 20;
const size_t kMaxPassword = 20;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsPrintable(unsigned char c) { return c >= 0x20 && c <= 0x7E; }

// Digits and letters count towards the check digit; nothing else does.
bool CountsForCheck(unsigned char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char CheckDigit(const std::string& plain) {
  unsigned long sum = 0;
  for (unsigned char c : plain) {
    if (CountsForCheck(c)) sum += c;
  }
  return static_cast<char>('0' + sum % 10);
}

// Character 2i of the plain text is body[i], character 2i+1 is body[19-i].
size_t BodyIndexOf(size_t plainIndex) {
  return plainIndex % 2 == 0 ? plainIndex / 2 : kBodyLength - 1 - plainIndex / 2;
}

}  // namespace

PasswordKey BuildPasswordKey() {
  // Bytes below 0x20 keep every printable character but one printable.
  PasswordKey key;
  uint32_t state = 0x4B1D2022u;
  for (unsigned char& byte : key) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<unsigned char>(1 + (state >> 24) % 31);
  }
  // Below 0x10 no header digit turns into a blank at the front of the value.
  key[0] = static_cast<unsigned char>(1 + key[0] % 15);
  return key;
}

UnscrambleResult UnscramblePassword(const std::string& value, const PasswordKey& key) {
  UnscrambleResult result;
  unsigned char header[kHeaderLength];
  bool digits = true;
  for (size_t j = 0; j < kHeaderLength; ++j) {
    unsigned char c = j < value.size() ? static_cast<unsigned char>(value[j]) : 0;
    header[j] = c ^ key[j];
    digits = digits && IsDigit(header[j]);
  }
  if (value.size() != kValueLength || !digits) result.check = UnscrambleCheck::BadForm;

  // A header that is not all digits still gives an offset and a length.
  auto digit = [&](size_t j) -> size_t { return IsDigit(header[j]) ? header[j] - '0' : 0; };
  size_t offset = digit(1);
  size_t length = digit(2) * 10 + digit(3);

  unsigned char body[kBodyLength] = {};
  for (size_t i = 0; i < kBodyLength && kHeaderLength + i < value.size(); ++i) {
    body[i] = static_cast<unsigned char>(value[kHeaderLength + i]) ^ key[offset + i];
  }
  std::string plain;
  for (size_t i = 0; i < kBodyLength; ++i) {
    unsigned char c = body[BodyIndexOf(i)];
    if (c != 0) plain += static_cast<char>(c);
  }
  if (result.check == UnscrambleCheck::Ok && CheckDigit(plain) != static_cast<char>(header[0])) {
    result.check = UnscrambleCheck::WrongCheckDigit;
  }
  result.password = plain.substr(0, length);
  return result;
}

std::optional<std::string> ScramblePassword(const std::string& password, const PasswordKey& key, unsigned seed) {
  if (password.empty() || password.size() > kMaxPassword) return std::nullopt;
  for (unsigned char c : password) {
    if (!IsPrintable(c)) return std::nullopt;
  }
  static const char kFillers[] = "Q7mZ2xK9bR4tW1nY8cH5vJ0pL3gD6sF";
  const size_t fillerCount = sizeof kFillers - 1;
  const size_t n = password.size();
  // The seed varies the offset and the fillers, so that like passwords
  // do not give like values.
  for (size_t tried = 0; tried < 10; ++tried) {
    const size_t offset = (seed + tried) % 10;
    for (size_t attempt = 0; attempt < fillerCount; ++attempt) {
      std::string plain = password;
      for (size_t i = n, pick = seed / 10 + attempt * 7; i < kBodyLength; ++i) {
        unsigned char keyByte = key[offset + BodyIndexOf(i)];
        char filler = kFillers[pick++ % fillerCount];
        while (!IsPrintable(static_cast<unsigned char>(filler) ^ keyByte)) filler = kFillers[pick++ % fillerCount];
        plain += filler;
      }
      std::string value(kValueLength, ' ');
      const char header[kHeaderLength] = {CheckDigit(plain), static_cast<char>('0' + offset),
                                          static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
      bool printable = true;
      for (size_t j = 0; j < kHeaderLength; ++j) {
        value[j] = static_cast<char>(header[j] ^ key[j]);
        printable = printable && IsPrintable(static_cast<unsigned char>(value[j]));
      }
      for (size_t i = 0; i < kBodyLength; ++i) {
        unsigned char c = static_cast<unsigned char>(plain[i]) ^ key[offset + BodyIndexOf(i)];
        value[kHeaderLength + BodyIndexOf(i)] = static_cast<char>(c);
        printable = printable && IsPrintable(c);
      }
      if (!printable) break;  // a password character cannot be shown with this offset
      if (value.front() == ' ' || value.back() == ' ') continue;
      UnscrambleResult check = UnscramblePassword(value, key);
      if (check.check == UnscrambleCheck::Ok && check.password == password) return value;
    }
  }
  return std::nullopt;
}

}  // namespace fennick
