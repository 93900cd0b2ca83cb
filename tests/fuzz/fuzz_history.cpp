// A system's history file: whatever it holds, the run keeps a history, and
// what it writes is read back by the next run without a word.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "history/history_store.h"

namespace {

// A folder of its own for the run, removed when it ends.
struct Scratch {
  std::string folder;
  Scratch() {
    char name[] = "/tmp/fuzz-history-XXXXXX";
    if (!mkdtemp(name)) fuzz::Fail("no folder");
    folder = name;
  }
  ~Scratch() {
    for (const char* file : {"/S.history", "/S.history.lock", "/S.history.bad"}) std::remove((folder + file).c_str());
    rmdir(folder.c_str());
  }
};

std::string Folder() {
  static Scratch scratch;
  return scratch.folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string folder = Folder();
  const std::string path = folder + "/S.history";
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  const int64_t now = 1767225600;
  const std::vector<fennick::TablespaceNow> measured = {{"T", 5, 10}, {"U%\n", -3, 7}, {"T", 6, 10}};
  fennick::KeptHistory kept = fennick::KeepHistory(folder, "S.history", measured, now);
  fuzz::Check(kept.kept, "a history not kept", kept.notes.empty() ? "" : kept.notes[0]);
  fuzz::Check(kept.growth.size() == measured.size(), "a growth missing");
  // The next run, an hour on, finds the file as it was written.
  kept = fennick::KeepHistory(folder, "S.history", measured, now + 3600);
  fuzz::Check(kept.kept && kept.notes.empty(), "what was written is no history",
              kept.notes.empty() ? "" : kept.notes[0]);
  std::remove((path + ".bad").c_str());
  return 0;
}
