#include "profile/connection_entry.h"

#include "platform/text_lines.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

const size_t kKeyLength = 12;
const size_t kValueColumn = 13;  // column 14, counted from 0
const size_t kValueLength = 60;
const size_t kSingleRunLineLimit = 159;
const size_t kItemRunLineLimit = 199;

struct FieldRule {
  const char* key;
  std::string SystemEntry::*field;
  size_t minimum;
};

const FieldRule kFields[] = {
    {"Extcompany.:", &SystemEntry::extcompany, 2}, {"Destination:", &SystemEntry::destination, 3},
    {"Client.....:", &SystemEntry::client, 3},     {"User.......:", &SystemEntry::user, 2},
    {"Password...:", &SystemEntry::password, 2},   {"Language...:", &SystemEntry::language, 1},
    {"Mode.......:", &SystemEntry::mode, 3},       {"Hostname...:", &SystemEntry::hostname, 2},
    {"Sysnr......:", &SystemEntry::sysnr, 2},      {"Gwhost.....:", &SystemEntry::gwhost, 2},
    {"Gwservice..:", &SystemEntry::gwservice, 2},
};

EntryProblem CheckEntry(const SystemEntry& entry) {
  if (entry.user.empty()) return EntryProblem::NoUser;
  if (entry.password.empty()) return EntryProblem::NoPassword;
  for (const FieldRule& rule : kFields) {
    if ((entry.*rule.field).size() < rule.minimum) return EntryProblem::ShortField;
  }
  return EntryProblem::None;
}

RunFailure Message(EntryProblem problem, const std::string& profileName) {
  switch (problem) {
    case EntryProblem::BadPasswordForm:
      return NumberedFailure(1004, "Invalid Password in Profile " + profileName + " found...");
    case EntryProblem::WrongPassword:
      return NumberedFailure(1005, "Wrong Password in Profile " + profileName + " found...");
    case EntryProblem::NoUser: return NumberedFailure(1006, "Username in Profile " + profileName + " is missing...");
    case EntryProblem::NoPassword:
      return NumberedFailure(1007, "Password in Profile " + profileName + " is missing...");
    case EntryProblem::ShortField: return NumberedFailure(1003, "Invalid Parameter(s) at " + profileName + " found...");
    case EntryProblem::None: break;
  }
  return RunFailure{};
}

}  // namespace

EntryReading ReadConnectionEntry(std::FILE* file, size_t lineLimit, const PasswordKey& key,
                                 bool stopAtPasswordProblem) {
  EntryReading reading;
  TextLineReader reader(file, lineLimit);
  std::string line;
  while (reader.Next(line)) {
    if (line.size() < kKeyLength) continue;
    std::string value = line.size() > kValueColumn ? line.substr(kValueColumn, kValueLength) : std::string();
    for (const FieldRule& rule : kFields) {
      if (line.compare(0, kKeyLength, rule.key) != 0) continue;
      std::string& field = reading.entry.*rule.field;
      if (rule.field == &SystemEntry::user) {
        field = ToUpper(value);
      } else if (rule.field == &SystemEntry::password && !value.empty()) {
        UnscrambleResult unscrambled = UnscramblePassword(value, key);
        field = unscrambled.password;
        if (unscrambled.check != UnscrambleCheck::Ok) {
          if (reading.problem == EntryProblem::None) {
            reading.problem = unscrambled.check == UnscrambleCheck::BadForm ? EntryProblem::BadPasswordForm
                                                                            : EntryProblem::WrongPassword;
          }
          if (stopAtPasswordProblem) return reading;
        }
      } else {
        field = value;
      }
      break;
    }
  }
  if (reading.problem == EntryProblem::None) reading.problem = CheckEntry(reading.entry);
  return reading;
}

Failure ReadSingleProfileEntry(std::FILE* file, const PasswordKey& key, const std::string& profileName,
                               SystemEntry& entry) {
  EntryReading reading = ReadConnectionEntry(file, kSingleRunLineLimit, key, true);
  entry = reading.entry;
  if (reading.problem != EntryProblem::None) return Message(reading.problem, profileName);
  return std::nullopt;
}

char ReadListedProfileEntry(std::FILE* file, const PasswordKey& key, SystemEntry& entry) {
  EntryReading reading = ReadConnectionEntry(file, kItemRunLineLimit, key, false);
  entry = reading.entry;
  return reading.problem == EntryProblem::None ? '.' : 'X';
}

}  // namespace fennick
