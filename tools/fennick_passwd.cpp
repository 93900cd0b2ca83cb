// fennick-passwd: prints the value for a profile's "Password...:" line.
//
//   fennick-passwd PASSWORD
//   fennick-passwd                  asks on the terminal, without showing it
//   echo PASSWORD | fennick-passwd
//
// The value hides the password from a casual look; it is not encryption.

#include <chrono>
#include <cstdio>
#include <iostream>
#include <random>
#include <string>

#include "driver/help.h"
#include "platform/terminal_input.h"
#include "profile/password.h"

namespace {

const char kUsage[] =
    "Usage: fennick-passwd [PASSWORD]\n"
    "\n"
    "Prints the value for a profile's \"Password...:\" line. Without PASSWORD it\n"
    "asks on the terminal and does not show what is typed, or reads one line\n"
    "from standard input. A password has 1 to 20 printable ASCII characters.\n"
    "The value hides the password from a casual look; it is not encryption.\n"
    "--help, -h or /? print this text; a password of that spelling is read\n"
    "from standard input.\n";

int Refuse(const std::string& reason) {
  std::cerr << "fennick-passwd: " << reason << "\n";
  return 1;
}

// Any seed gives a valid value; randomness only makes values less alike.
unsigned RandomSeed() {
  try {
    return std::random_device()();
  } catch (...) {
    return static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && fennick::IsHelpRequest(argv[1])) {
    std::cout << kUsage;
    return 0;
  }
  if (argc > 2) return Refuse("give the password as one argument (quote it if it holds blanks), or on standard input");
  std::string password;
  if (argc == 2) {
    password = argv[1];
  } else if (!fennick::ReadSecretLine("Password: ", password)) {
    return Refuse("no password given");
  }
  if (password.empty()) return Refuse("the password is empty");
  if (password.size() > 20) return Refuse("the password is longer than 20 characters");
  for (unsigned char c : password) {
    if (c < 0x20 || c > 0x7E) return Refuse("the password holds a character outside printable ASCII");
  }
  unsigned seed = RandomSeed();
  std::optional<std::string> value = fennick::ScramblePassword(password, fennick::BuildPasswordKey(), seed);
  if (!value) return Refuse("this password cannot be written as a printable value; please choose another");
  std::cout << *value << "\n";
  return 0;
}
