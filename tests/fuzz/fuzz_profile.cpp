// Profiles: the connection entry, read with the limits of both runs, and
// the scrambled password value on its own.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "profile/connection_entry.h"
#include "profile/password.h"

namespace {

const fennick::PasswordKey& Key() {
  static const fennick::PasswordKey key = fennick::BuildPasswordKey();
  return key;
}

bool SameEntry(const fennick::SystemEntry& a, const fennick::SystemEntry& b) {
  return a.extcompany == b.extcompany && a.destination == b.destination && a.client == b.client && a.user == b.user &&
         a.password == b.password && a.language == b.language && a.mode == b.mode && a.hostname == b.hostname &&
         a.sysnr == b.sysnr && a.gwhost == b.gwhost && a.gwservice == b.gwservice;
}

// What a complete entry promises the logon.
void CheckComplete(const fennick::SystemEntry& entry) {
  const std::string* fields[] = {&entry.extcompany, &entry.destination, &entry.client,   &entry.user,
                                 &entry.password,   &entry.language,    &entry.mode,     &entry.hostname,
                                 &entry.sysnr,      &entry.gwhost,      &entry.gwservice};
  for (const std::string* field : fields) {
    fuzz::Check(!field->empty() && field->size() <= 60, "complete entry with a field out of bounds", *field);
  }
  fuzz::Check(entry.destination.size() >= 3 && entry.client.size() >= 3 && entry.mode.size() >= 3,
              "complete entry with a short destination, client or mode");
  fuzz::Check(entry.password.size() <= 20, "password over 20 characters", entry.password);
  for (char c : entry.user) fuzz::Check(!(c >= 'a' && c <= 'z'), "user not upper-cased", entry.user);
}

fennick::EntryReading Read(std::string& text, size_t limit, bool stop) {
  fuzz::MemoryFile file = fuzz::OpenText(text);
  if (!file) std::abort();
  return fennick::ReadConnectionEntry(file.get(), limit, Key(), stop);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = fuzz::Text(data, size);
  for (size_t limit : {size_t(159), size_t(199)}) {
    fennick::EntryReading stopping = Read(text, limit, true);
    fennick::EntryReading reading = Read(text, limit, false);
    if (stopping.problem == fennick::EntryProblem::None) CheckComplete(stopping.entry);
    if (reading.problem == fennick::EntryProblem::None) {
      CheckComplete(reading.entry);
      // Without a password problem, stopping at one changes nothing.
      fuzz::Check(stopping.problem == fennick::EntryProblem::None && SameEntry(stopping.entry, reading.entry),
                  "the two readings of a sound profile differ");
    }
  }

  fennick::UnscrambleResult result = fennick::UnscramblePassword(text, Key());
  fuzz::Check(result.password.size() <= 20, "unscrambled password over 20 characters", result.password);
  if (result.check == fennick::UnscrambleCheck::Ok) {
    fuzz::Check(text.size() == 24, "a value not of 24 characters passed the checks", text);
  }
  return 0;
}
