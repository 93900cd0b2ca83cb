// The platform layer as runs side by side meet it, on every platform the
// program is built for (natively under ctest, the Windows builds under
// Wine): whole appends and replacements while others write and read,
// children started from several threads at once holding nothing of each
// other's, a child gone under a write, and the sweep of private folders.
//
// The program is its own child: PLATFORM_CHECK_ROLE says which part a
// started copy plays.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/standard_output.h"
#include "platform/threads.h"
#include "platform/timer.h"
#include "test_links.h"

namespace fs = std::filesystem;

namespace fennick {
namespace {

const int kChildren = 8;  // started by kStarters threads at once
const int kStarters = 4;
const int kAppends = 200;
const int kBlockLines = 16;

int g_failed = 0;
int g_passed = 0;

void Check(bool ok, const std::string& what, const std::string& detail = "") {
  std::printf("platform_check: %s %s%s%s\n", ok ? "ok" : "FAILED", what.c_str(), detail.empty() ? "" : ": ",
              detail.c_str());
  std::fflush(stdout);
  ok ? ++g_passed : ++g_failed;
}

std::string ReadAll(const std::string& path) {
  std::string bytes;
  if (FilePtr file = OpenForRead(path)) {
    char buffer[16384];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
  }
  return bytes;
}

// ---- the children's parts

// Waits until the parent closes standard input: the lifeline.
void WaitForParent() {
  std::string line;
  while (ReadLineFromParent(line)) {
  }
}

std::string Block(const std::string& id, int block) {
  std::string text;
  for (int line = 0; line < kBlockLines; ++line) {
    text += id + " " + std::to_string(block) + " " + std::to_string(line) + " " + std::string(200, 'x') + "\n";
  }
  return text;
}

int PlayRole(const std::string& role) {
  PrepareChildStreams();
  const std::string id = EnvironmentValue("PLATFORM_CHECK_ID");
  const std::string folder = EnvironmentValue("PLATFORM_CHECK_FOLDER");
  if (role == "append") {
    // Lines as Fennick.Log gets them, blocks as a shared trace file does.
    FilePtr log = OpenForAppend(folder + "lines.log");
    std::string why;
    for (int i = 0; i < kAppends; ++i) {
      AppendToFile(log.get(), id + " " + std::to_string(i) + " alled led\n");
      AppendUnderLock(folder + "blocks.trc", Block(id, i), why);
    }
    WriteToParent("done\n");
    WaitForParent();
  } else if (role == "private-directory") {
    WriteToParent(MakePrivateDirectory() + "\n");
    WaitForParent();
  }
  return 0;  // "gone": ends at once, reading nothing
}

// ---- the parent's checks

struct Started {
  ChildProcess process;
  bool ok = false;
};

struct Starter {
  std::string program;
  std::string folder;
  std::vector<Started>* children;
  int first;
  int* running;
};

void StartSome(void* argument) {
  Starter& s = *static_cast<Starter*>(argument);
  for (int i = s.first; i < s.first + kChildren / kStarters; ++i) {
    const EnvironmentValues environment = {{"PLATFORM_CHECK_ROLE", "append"},
                                           {"PLATFORM_CHECK_ID", "c" + std::to_string(i)},
                                           {"PLATFORM_CHECK_FOLDER", s.folder}};
    (*s.children)[i].ok = StartChildProcess(s.program, environment, (*s.children)[i].process);
  }
  RunLock lock;
  --*s.running;
  WakeWaitersLocked();
}

// Every line whole and there once; every block whole, its lines together.
void CheckAppends(const std::string& folder) {
  std::istringstream lines(ReadAll(folder + "lines.log"));
  std::set<std::string> seen;
  std::string line;
  int torn = 0;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string id, number, a, b, rest;
    if (!(fields >> id >> number >> a >> b) || a != "alled" || b != "led" || (fields >> rest)) ++torn;
    seen.insert(line);
  }
  Check(torn == 0 && seen.size() == size_t(kChildren * kAppends), "lines appended side by side stay whole",
        std::to_string(seen.size()) + " distinct lines, " + std::to_string(torn) + " torn");

  std::istringstream blocks(ReadAll(folder + "blocks.trc"));
  std::vector<std::string> all;
  while (std::getline(blocks, line)) all.push_back(line + "\n");
  std::map<std::string, int> nextBlock;
  int broken = 0, count = 0;
  for (size_t at = 0; at < all.size(); at += kBlockLines, ++count) {
    std::istringstream first(all[at]);
    std::string id, text;
    int block = -1;
    first >> id >> block;
    for (size_t i = at; i < at + kBlockLines && i < all.size(); ++i) text += all[i];
    if (text != Block(id, block) || block != nextBlock[id]) ++broken;
    nextBlock[id] = block + 1;
  }
  Check(broken == 0 && count == kChildren * kAppends, "blocks appended under the lock stay whole",
        std::to_string(count) + " blocks, " + std::to_string(broken) + " broken");
}

void CheckChildrenSideBySide(const std::string& program, const std::string& folder) {
  std::vector<Started> children(kChildren);
  std::vector<Starter> starters;
  int running = kStarters;
  for (int t = 0; t < kStarters; ++t)
    starters.push_back({program, folder, &children, t * kChildren / kStarters, &running});
  for (Starter& s : starters) {
    if (!StartDetachedThread(StartSome, &s)) {
      StartSome(&s);
    }
  }
  {
    RunLock lock;
    while (running > 0) WaitLocked();
  }
  int started = 0;
  for (Started& child : children) started += child.ok;
  Check(started == kChildren, "children started from several threads at once",
        std::to_string(started) + " of " + std::to_string(kChildren));
  for (Started& child : children) {
    std::string said;
    while (child.ok && said.find('\n') == std::string::npos && ReadFromChild(child.process, said)) {
    }
  }
  // One at a time: a child that held another's end of its lifeline would
  // keep that one waiting here, and the watchdog would end the check.
  for (Started& child : children) {
    if (child.ok) WaitForChild(child.process);
  }
  Check(true, "every child ended when its own lifeline closed");
  CheckAppends(folder);
}

struct Reading {
  std::string path;
  std::string one, other;
  bool stop = false;
  bool stopped = false;
  int reads = 0, partial = 0;
};

void ReadOver(void* argument) {
  Reading& r = *static_cast<Reading*>(argument);
  for (;;) {
    {
      RunLock lock;
      if (r.stop) break;
    }
    const std::string seen = ReadAll(r.path);
    RunLock lock;
    ++r.reads;
    if (seen != r.one && seen != r.other) ++r.partial;
  }
  RunLock lock;
  r.stopped = true;
  WakeWaitersLocked();
}

void CheckReplaceWhole(const std::string& folder) {
  Reading r;
  r.path = folder + "SapRfc.ini";
  r.one = std::string(100000, 'a');
  r.other = std::string(70000, 'b');
  std::string why;
  bool replaced = ReplaceWhole(r.path, r.one, why);
  if (!StartDetachedThread(ReadOver, &r)) return Check(false, "a reader beside ReplaceWhole", "no thread");
  for (int i = 0; replaced && i < 300; ++i) replaced = ReplaceWhole(r.path, i % 2 ? r.one : r.other, why);
  {
    RunLock lock;
    r.stop = true;
    while (!r.stopped) WaitLocked();
  }
  int others = 0;
  for (const auto& entry : fs::directory_iterator(folder)) others += entry.path().filename() != "SapRfc.ini";
  Check(replaced && r.partial == 0 && others == 0 && r.reads > 0, "a file replaced whole is never seen in part",
        std::to_string(r.reads) + " reads, " + std::to_string(r.partial) + " partial, " + std::to_string(others) +
            " files left beside it" + (replaced ? "" : ", replace failed: " + why));

  const std::string missing = DirectoryPrefix(folder + "no-such-folder") + "SapRfc.ini";
  why.clear();
  Check(!ReplaceWhole(missing, "x", why) && !why.empty() && !AppendUnderLock(missing, "x", why),
        "a folder that cannot be written gives a reason", why);
}

void CheckGoneChild(const std::string& program) {
  ChildProcess child;
  if (!StartChildProcess(program, {{"PLATFORM_CHECK_ROLE", "gone"}}, child)) {
    return Check(false, "writing to a child that is gone");
  }
  std::string said;
  while (ReadFromChild(child, said)) {
  }
  // The child has closed its end: the write fails, and this process lives on.
  const bool written = WriteToChild(child, std::string(1 << 20, 'x'));
  WaitForChild(child);
  Check(!written, "writing to a child that is gone fails and leaves the parent alive");
}

// ---- the sweep

struct Owned {
  ChildProcess process;
  std::string directory;
};

// A private directory made by a child that stays until `Release`.
bool MakeOwned(const std::string& program, Owned& owned) {
  if (!StartChildProcess(program, {{"PLATFORM_CHECK_ROLE", "private-directory"}}, owned.process)) return false;
  std::string said;
  while (said.find('\n') == std::string::npos && ReadFromChild(owned.process, said)) {
  }
  owned.directory = said.substr(0, said.find('\n'));
  return !owned.directory.empty();
}

void Release(Owned& owned) { WaitForChild(owned.process); }

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

void CheckSweep(const std::string& program, const std::string& base, const std::string& outside) {
  const std::string marker = "fennick.owner";  // "fennick <process id> <start time>"
  Owned live, reused, gone, goneWithLink, moved, given, emptiedLive, emptiedGone, blankGone;
  bool made = MakeOwned(program, live) && MakeOwned(program, reused) && MakeOwned(program, gone) &&
              MakeOwned(program, goneWithLink) && MakeOwned(program, moved) && MakeOwned(program, given) &&
              MakeOwned(program, emptiedLive) && MakeOwned(program, emptiedGone) && MakeOwned(program, blankGone);
  if (!made) return Check(false, "the sweep", "children could not make private directories");
  const std::string own = MakePrivateDirectory();
  const std::string unmarked = base + "fennick-1-0123456789abcdef";
  fs::create_directory(unmarked);
  std::ofstream(DirectoryPrefix(unmarked) + "precious") << "keep";
  // An unwritten marker beside a file, named for a process that is gone.
  const std::string blankBeside = base + "fennick-99998-0123456789abcdef";
  fs::create_directory(blankBeside);
  std::ofstream(DirectoryPrefix(blankBeside) + marker);
  std::ofstream(DirectoryPrefix(blankBeside) + "precious") << "keep";

  // Process ids that now name a process that started at another time: a
  // live child's, and the sweeper's own (Wine soon gives a new process the
  // id of one that ended).
  const std::string earlier = MakePrivateDirectory();
  for (const std::string& directory : {reused.directory, earlier}) {
    const std::string path = DirectoryPrefix(directory) + marker;
    const std::string text = ReadAll(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text.substr(0, text.rfind(' ')) << " 1\n";
  }

  // What a removal cut short between the marker and the folder leaves.
  for (const Owned* emptied : {&emptiedLive, &emptiedGone}) fs::remove(DirectoryPrefix(emptied->directory) + marker);
  // What a process killed between creating its marker and writing it leaves.
  std::ofstream(DirectoryPrefix(blankGone.directory) + marker, std::ios::trunc);

  // Links: one named like a private folder leading to a gone process's
  // folder moved away; one inside a gone process's folder.
  const std::string target = DirectoryPrefix(outside) + "target";
  fs::rename(moved.directory, target);
  std::ofstream(DirectoryPrefix(target) + "precious") << "keep";
  const std::string kept = DirectoryPrefix(outside) + "kept";
  fs::create_directory(kept);
  std::ofstream(DirectoryPrefix(kept) + "precious") << "keep";
  const std::string namedLink = base + "fennick-99999-00000000000000ff";
  const bool links = MakeDirectoryLink(target, namedLink) &&
                     MakeDirectoryLink(kept, DirectoryPrefix(goneWithLink.directory) + "inner");
  const bool givenAway = GiveToAnotherUser(given.directory);

  Release(gone);
  Release(goneWithLink);
  Release(moved);
  Release(given);
  Release(emptiedGone);
  Release(blankGone);
  SweepOrphanedDirectories();

  const char* always = nullptr;
  const char* withLinks = links ? always : "this system makes no links here";
  const char* withOtherUser = givenAway ? always : "this process cannot give a folder to another user";
  struct Row {
    const char* what;
    std::string path;
    bool stays;
    const char* skippedBecause;
  } rows[] = {
      {"a live process's folder stays", live.directory, true, always},
      {"the sweeper's own folder stays", own, true, always},
      {"a folder with a file but without our marker stays", DirectoryPrefix(unmarked) + "precious", true, always},
      {"a gone process's folder goes", gone.directory, false, always},
      {"a folder whose process id now names a later process goes", reused.directory, false, always},
      {"a folder of an earlier process with the sweeper's id goes", earlier, false, always},
      {"an emptied folder of a live process stays", emptiedLive.directory, true, always},
      {"an emptied folder of a gone process goes", emptiedGone.directory, false, always},
      {"a gone process's folder with an unwritten marker goes", blankGone.directory, false, always},
      {"an unwritten marker beside a file stays", DirectoryPrefix(blankBeside) + "precious", true, always},
      {"a link named like a private folder stays", namedLink, true, withLinks},
      {"the files behind that link stay", DirectoryPrefix(target) + "precious", true, withLinks},
      {"a gone process's folder with a link inside goes", goneWithLink.directory, false, withLinks},
      {"the files behind the link inside stay", DirectoryPrefix(kept) + "precious", true, withLinks},
      {"a gone process's folder of another user stays", given.directory, true, withOtherUser},
  };
  for (const Row& row : rows) {
    if (row.skippedBecause) {
      std::printf("platform_check: skipped %s: %s\n", row.what, row.skippedBecause);
    } else {
      Check(Exists(row.path) == row.stays, row.what, row.path);
    }
  }
  Release(live);
  Release(reused);
  Release(emptiedLive);
  RemoveDirectoryTree(own);
}

void Hung() {
  std::printf("platform_check: FAILED: no end after 30 s (a child kept waiting, or a lock held)\n");
  std::fflush(stdout);
  EndProcessNow(1);
}

int RunChecks(const std::string& program) {
  StartOneShotTimer(30000, Hung);
  const std::string scratch = MakePrivateDirectory();
  if (scratch.empty()) {
    Check(false, "a private directory for the check");
    return 1;
  }
  const std::string work = DirectoryPrefix(DirectoryPrefix(scratch) + "work");
  const std::string temporary = DirectoryPrefix(DirectoryPrefix(scratch) + "tmp");
  const std::string outside = DirectoryPrefix(DirectoryPrefix(scratch) + "outside");
  const std::string replace = DirectoryPrefix(DirectoryPrefix(scratch) + "replace");
  for (const std::string& folder : {work, temporary, outside, replace}) fs::create_directory(folder);
  // The children and the sweep look below this folder alone.
  for (const char* name : {"TMPDIR", "TMP", "TEMP"}) SetEnvironmentValue(name, temporary);

  CheckChildrenSideBySide(program, work);
  CheckReplaceWhole(replace);
  CheckGoneChild(program);
  CheckSweep(program, temporary, outside);

  RemoveDirectoryTree(scratch);
  std::printf("platform_check: %d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace fennick

int main(int argc, char** argv) {
  const std::string role = fennick::EnvironmentValue("PLATFORM_CHECK_ROLE");
  if (!role.empty()) return fennick::PlayRole(role);
  return fennick::RunChecks(fennick::OwnExecutablePath(argc > 0 ? argv[0] : ""));
}
