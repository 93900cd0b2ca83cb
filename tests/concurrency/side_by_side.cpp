// side_by_side: starts many runs of one program at once in one working
// folder, the way a monitor starts its sensors, and counts the runs whose
// standard output or exit code differ from those of the same run alone.
//
//   side_by_side [-n RUNS] [-w WAVE] [-o DIR] [-c] -C WORKDIR PROGRAM [WORDS...]
//                -- ARGS... [:: ARGS...]...
//
// Each ARGS list is one kind of run: PROGRAM WORDS... ARGS..., started in
// WORKDIR (WORDS lets PROGRAM be a loader, e.g. `wine64 fennick.exe`).
// First every kind runs alone, twice, one after the other: its output (the
// clock masked) and exit code are the reference, and a kind that differs
// from itself alone is refused, since nothing could be counted against it.
// Then RUNS runs (default 2000), kind after kind in turn, are started in
// waves of WAVE (default 100) at once; each wave is waited for before the
// next starts. Standard error goes to /dev/null. With -o the first wrong
// runs' outputs are kept in DIR beside the references.
//
// With -c (a test) the files all runs share are checked afterwards: every
// line of Fennick.Log whole, and in Dev_Rfc.Trc every header with its error
// line; and a wrong run fails.
//
// Output: one line per kind, `kind=K runs=N wrong=M exit=E args=...`, then
// `total runs=N wrong=M waves=W wave=S seconds=T`. Exit code 0 when all was
// run (wrong results are counted, not fatal: this measures), 1 when a run
// could not be started or a kind is not the same alone twice, or with -c
// when a run was wrong or a shared file torn, 2 on usage.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "without_clock.h"

extern char** environ;

namespace {

const int kKeptWrong = 5;

struct Kind {
  std::vector<std::string> args;
  std::string output;  // alone, the clock masked
  int exitCode = 0;
  int runs = 0;
  int wrong = 0;
};

struct Options {
  int runs = 2000;
  int wave = 100;
  bool check = false;
  std::string keepDir;
  std::string workDir;
  std::vector<std::string> program;
  std::vector<Kind> kinds;
};

struct Started {
  pid_t pid = -1;
  std::string outPath;
};

std::string ReadFile(const std::string& path) {
  std::string text;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return text;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

void WriteFile(const std::string& path, const std::string& text) {
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
}

// Starts one run of `kind` with standard output to `outPath`; pid -1 when it cannot.
Started Start(const Options& options, const Kind& kind, const std::string& outPath) {
  std::vector<char*> argv;
  for (const std::string& word : options.program) argv.push_back(const_cast<char*>(word.c_str()));
  for (const std::string& word : kind.args) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, options.workDir.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Started started;
  started.outPath = outPath;
  pid_t pid = -1;
  int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    std::fprintf(stderr, "side_by_side: cannot start %s: %s\n", argv[0], std::strerror(error));
    return started;
  }
  started.pid = pid;
  return started;
}

// The exit code, or 128 + the signal that ended it; -1 when it cannot be had.
int Wait(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

// Runs every kind alone twice; false (and says why) when one cannot be had
// or differs from itself.
bool TakeReferences(Options& options, const std::string& scratch) {
  for (Kind& kind : options.kinds) {
    std::string outputs[2];
    int codes[2] = {-1, -1};
    for (int turn = 0; turn < 2; ++turn) {
      Started run = Start(options, kind, scratch + "/alone.out");
      if (run.pid < 0) return false;
      codes[turn] = Wait(run.pid);
      outputs[turn] = WithoutClock(ReadFile(run.outPath));
    }
    if (codes[0] != codes[1] || outputs[0] != outputs[1]) {
      std::fprintf(stderr, "side_by_side: %s gives different results alone (exit codes %d, %d)\n",
                   Joined(kind.args).c_str(), codes[0], codes[1]);
      return false;
    }
    kind.output = outputs[0];
    kind.exitCode = codes[0];
  }
  return true;
}

void KeepWrong(const Options& options, int index, const Kind& kind, int code, const std::string& output) {
  if (options.keepDir.empty()) return;
  std::string stem = options.keepDir + "/wrong-" + std::to_string(index);
  WriteFile(stem + ".out", "exit code " + std::to_string(code) + "\n" + output);
  WriteFile(stem + ".expected", "exit code " + std::to_string(kind.exitCode) + "\n" + kind.output);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start) + " (no line end)");
  return lines;
}

// A trace line of the probe: a connection number, a blank, a step it names.
bool WholeLogLine(const std::string& line) {
  static const char* const kSteps[] = {
      "program started",
      "RfcEnvironment called",
      "RfcOpen called",
      "RfcOpenEx called",
      "RfcCall called",
      "RfcReceive called",
      "RfcGetVersion called",
      "RfcOpenConnection called",
      "RfcOpenConnection refused",
      "RfcInvoke called",
      "Timeout reached",
      "measuring process failed",
      "measuring process not started",
  };
  size_t i = line[0] == '-' ? 1 : 0;
  const size_t digits = i;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  if (i == digits || i >= line.size() || line[i] != ' ') return false;
  for (const char* step : kSteps) {
    const std::string text = step;
    if (line.compare(i + 1, text.size(), text) == 0 && line.size() > i + 1 + text.size() &&
        line[i + 1 + text.size()] == ' ')
      return true;
  }
  return false;
}

// Fennick.Log with whole lines only, and Dev_Rfc.Trc whose every header is
// followed by its error line: the blocks of runs side by side never mixed.
int CheckSharedFiles(const std::string& workDir) {
  int torn = 0;
  for (const std::string& line : Lines(ReadFile(workDir + "/Fennick.Log"))) {
    if (!WholeLogLine(line)) {
      std::fprintf(stderr, "side_by_side: a torn Fennick.Log line: [%s]\n", line.c_str());
      ++torn;
    }
  }
  const std::vector<std::string> trace = Lines(ReadFile(workDir + "/Dev_Rfc.Trc"));
  for (size_t i = 0; i < trace.size(); ++i) {
    const bool header = trace[i].rfind("**** ERROR ", 0) == 0;
    const bool error = trace[i].rfind("ERROR ", 0) == 0;
    const bool paired = header ? i + 1 < trace.size() && trace[i + 1].rfind("ERROR ", 0) == 0
                               : error && i > 0 && trace[i - 1].rfind("**** ERROR ", 0) == 0;
    if (!paired) {
      std::fprintf(stderr, "side_by_side: Dev_Rfc.Trc line %zu out of its block: [%s]\n", i + 1, trace[i].c_str());
      ++torn;
    }
  }
  return torn;
}

int Usage() {
  std::fprintf(stderr,
               "usage: side_by_side [-n RUNS] [-w WAVE] [-o DIR] [-c] -C WORKDIR PROGRAM [WORDS...] -- ARGS... "
               "[:: ARGS...]...\n");
  return 2;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  int i = 1;
  for (; i + 1 < argc && argv[i][0] == '-'; i += 2) {
    std::string flag = argv[i];
    if (flag == "-c") {
      options.check = true;
      --i;  // takes no value
    } else if (flag == "-n")
      options.runs = std::atoi(argv[i + 1]);
    else if (flag == "-w")
      options.wave = std::atoi(argv[i + 1]);
    else if (flag == "-o")
      options.keepDir = argv[i + 1];
    else if (flag == "-C")
      options.workDir = argv[i + 1];
    else
      return false;
  }
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) options.program.push_back(argv[i]);
  if (i < argc) ++i;
  options.kinds.emplace_back();
  for (; i < argc; ++i) {
    if (std::strcmp(argv[i], "::") == 0)
      options.kinds.emplace_back();
    else
      options.kinds.back().args.push_back(argv[i]);
  }
  return options.runs > 0 && options.wave > 0 && !options.workDir.empty() && !options.program.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return Usage();
  char scratchTemplate[] = "/tmp/side-by-side-XXXXXX";
  if (!mkdtemp(scratchTemplate)) {
    std::perror("side_by_side: mkdtemp");
    return 1;
  }
  const std::string scratch = scratchTemplate;
  int status = 0;
  if (!TakeReferences(options, scratch)) status = 1;

  auto begin = std::chrono::steady_clock::now();
  int waves = 0;
  int kept = 0;
  for (int done = 0; status == 0 && done < options.runs; ++waves) {
    struct InWave {
      Started run;
      int kind;
    };
    std::vector<InWave> wave;
    for (int slot = 0; slot < options.wave && done + slot < options.runs; ++slot) {
      int kind = (done + slot) % static_cast<int>(options.kinds.size());
      Started run = Start(options, options.kinds[kind], scratch + "/run-" + std::to_string(slot) + ".out");
      if (run.pid < 0)
        status = 1;
      else
        wave.push_back({run, kind});
    }
    for (const InWave& member : wave) {
      Kind& kind = options.kinds[member.kind];
      int code = Wait(member.run.pid);
      std::string output = WithoutClock(ReadFile(member.run.outPath));
      ++kind.runs;
      if (code != kind.exitCode || output != kind.output) {
        ++kind.wrong;
        if (kept < kKeptWrong) KeepWrong(options, ++kept, kind, code, output);
      }
    }
    done += static_cast<int>(wave.size());
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();

  int runs = 0;
  int wrong = 0;
  for (size_t k = 0; k < options.kinds.size(); ++k) {
    const Kind& kind = options.kinds[k];
    std::printf("kind=%zu runs=%d wrong=%d exit=%d args=%s\n", k, kind.runs, kind.wrong, kind.exitCode,
                Joined(kind.args).c_str());
    runs += kind.runs;
    wrong += kind.wrong;
  }
  std::printf("total runs=%d wrong=%d waves=%d wave=%d seconds=%.1f\n", runs, wrong, waves, options.wave, seconds);
  if (options.check && status == 0) {
    const int torn = CheckSharedFiles(options.workDir);
    std::printf("shared files: %d torn lines\n", torn);
    if (torn > 0 || wrong > 0) status = 1;
  }
  for (int slot = 0; slot < options.wave; ++slot) unlink((scratch + "/run-" + std::to_string(slot) + ".out").c_str());
  unlink((scratch + "/alone.out").c_str());
  rmdir(scratch.c_str());
  return status;
}
