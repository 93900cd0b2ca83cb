// The scrambled "Password...:" value of a profile: 4 header characters and a
// 20-character body, each XOR-ed with a 32-byte key built at run time.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace fennick {

using PasswordKey = std::array<unsigned char, 32>;

// The key both the probe and fennick-passwd use.
PasswordKey BuildPasswordKey();

enum class UnscrambleCheck { Ok, BadForm, WrongCheckDigit };

struct UnscrambleResult {
  UnscrambleCheck check = UnscrambleCheck::Ok;
  std::string password;  // what the value gives, even when a check failed
};

UnscrambleResult UnscramblePassword(const std::string& value, const PasswordKey& key);

// The 24-character value for a password, printable ASCII with no blank at
// either end; nullopt when the password cannot be represented that way. The
// seed picks among the many values that give the same password.
std::optional<std::string> ScramblePassword(const std::string& password, const PasswordKey& key, unsigned seed = 0);

}  // namespace fennick
