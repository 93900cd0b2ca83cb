// spawn_timer: runs whole processes and reports their wall time and peak
// resident memory, for bench/run.sh.
//
//   spawn_timer [-n ROUNDS] [-w WARMUP] [-o FILE] [-r] [-C DIR] [-i FILE] [-e CODE] CMD ARGS...
//               [:: [-C DIR] [-i FILE] [-e CODE] CMD ARGS...]...
//
// Each round starts every command once, in the order given, so that drift of
// the machine (other load, frequency) falls on all commands alike. `-C DIR`
// in front of a command runs it in DIR. `-i FILE` in front of a command
// feeds FILE to its standard input through a pipe that stays open until the
// command has ended, the way a parent feeds a child it keeps a lifeline to
// (a plain file would give the command end-of-input at once); FILE must fit
// in the pipe's buffer (64 KiB). Otherwise standard input is the helper's.
// `-e CODE` in front of a command is the exit code it must end with
// (default 0): a run that fails on purpose, to time the part before it fails.
// Standard output of the commands goes
// to FILE (default /dev/null; a relative FILE lies in the command's
// directory), standard error is kept. WARMUP rounds (default 1) run first and
// are not counted. With -r each counted run is also printed as
// `sample cmd=I wall_us=.. rss_kb=.. minflt=.. cpu_us=..`. Any run that does not end with its exit code (0
// unless -e says otherwise) stops the measurement with exit code 1: a benchmark must never time an error
// path it did not ask for.
//
// Output, one line per command:
//   cmd=I runs=N median_us=.. p10_us=.. p90_us=.. min_us=.. max_us=.. median_rss_kb=.. max_rss_kb=..
//   median_minflt=.. median_cpu_us=..
// cpu_us is user plus system time, the command's children included (what
// wait4 reports: the children it has waited for).
// and a last line `self_rss_kb=..`: the helper's own peak (VmHWM). That is a
// floor for every child's ru_maxrss (the kernel carries the spawning
// process's high-water mark into the child at exec), so it must stay well
// below the figures: the helper keeps to the C library and run.sh links it
// statically.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

const int kMaxCommands = 8;
const int kMaxRounds = 100000;

struct Command {
  const char* directory = nullptr;
  char* input = nullptr;  // what goes to standard input (-i), or null
  long inputSize = 0;
  int exitCode = 0;  // what a run must end with (-e)
  char** argv = nullptr;
  long* wallUs = nullptr;
  long* rssKb = nullptr;
  long* minorFaults = nullptr;
  long* cpuUs = nullptr;
  int runs = 0;
};

long NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000000000L + ts.tv_nsec;
}

int CompareLong(const void* a, const void* b) {
  long x = *static_cast<const long*>(a);
  long y = *static_cast<const long*>(b);
  return x < y ? -1 : x > y ? 1 : 0;
}

// Nearest-rank on a sorted array; the median of an even count is the mean of the middle two.
long Percentile(const long* sorted, int n, int percent) {
  if (n == 0) return 0;
  if (percent == 50) return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  int rank = (percent * n + 99) / 100;
  if (rank < 1) rank = 1;
  return sorted[rank - 1];
}

// Reads all of FILE for -i; it is written to each run's pipe at once, so it
// must fit in the pipe's buffer.
bool LoadInput(const char* path, Command& command) {
  const long kPipeBuffer = 65536;
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    std::fprintf(stderr, "spawn_timer: cannot open %s: %s\n", path, std::strerror(errno));
    return false;
  }
  command.input = static_cast<char*>(std::malloc(kPipeBuffer));
  long size = 0;
  for (ssize_t n;
       command.input && size < kPipeBuffer && (n = read(fd, command.input + size, kPipeBuffer - size)) > 0;) {
    size += n;
  }
  close(fd);
  if (!command.input || size >= kPipeBuffer) {
    std::fprintf(stderr, "spawn_timer: %s does not fit in a pipe's buffer\n", path);
    return false;
  }
  command.inputSize = size;
  return true;
}

bool RunOnce(Command& command, int index, const char* outPath, bool record, bool print) {
  // The pipe's write end is close-on-exec, so that the command holds only the
  // read end and sees end-of-input only when the helper closes its end.
  int input[2] = {-1, -1};
  if (command.input && pipe2(input, O_CLOEXEC) != 0) {
    std::perror("spawn_timer: pipe2");
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (command.directory) posix_spawn_file_actions_addchdir_np(&actions, command.directory);
  if (command.input) posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  long start = NowNs();
  int error = posix_spawn(&pid, command.argv[0], &actions, nullptr, command.argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (command.input) close(input[0]);
  if (error != 0) {
    if (command.input) close(input[1]);
    std::fprintf(stderr, "spawn_timer: cannot start %s: %s\n", command.argv[0], std::strerror(error));
    return false;
  }
  // It fits in the pipe's buffer, so this does not wait for the command; a
  // command that ends without reading leaves EPIPE, which is its own affair.
  for (long written = 0; command.input && written < command.inputSize;) {
    ssize_t n = write(input[1], command.input + written, command.inputSize - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += n;
  }
  int status = 0;
  rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) {
    std::perror("spawn_timer: wait4");
    if (command.input) close(input[1]);
    return false;
  }
  long end = NowNs();
  if (command.input) close(input[1]);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != command.exitCode) {
    std::fprintf(stderr, "spawn_timer: %s ended with %s %d\n", command.argv[0],
                 WIFEXITED(status) ? "exit code" : "signal",
                 WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
    return false;
  }
  if (record) {
    command.wallUs[command.runs] = (end - start) / 1000;
    command.rssKb[command.runs] = usage.ru_maxrss;
    command.minorFaults[command.runs] = usage.ru_minflt;
    command.cpuUs[command.runs] =
        (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000L + usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    if (print) {
      std::printf("sample cmd=%d wall_us=%ld rss_kb=%ld minflt=%ld cpu_us=%ld\n", index, command.wallUs[command.runs],
                  usage.ru_maxrss, usage.ru_minflt, command.cpuUs[command.runs]);
    }
    ++command.runs;
  }
  return true;
}

// The high-water mark of this process's own memory map (VmHWM). Not
// getrusage: its ru_maxrss also holds whatever started this helper.
long OwnHighWaterKb() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return -1;
  char line[256];
  long kb = -1;
  while (std::fgets(line, sizeof line, status)) {
    if (std::sscanf(line, "VmHWM: %ld", &kb) == 1) break;
  }
  std::fclose(status);
  return kb;
}

int Usage() {
  std::fprintf(stderr,
               "usage: spawn_timer [-n ROUNDS] [-w WARMUP] [-o FILE] [-r] [-C DIR] [-i FILE] [-e CODE] CMD ARGS...\n"
               "                   [:: [-C DIR] [-i FILE] [-e CODE] CMD ARGS...]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 10;
  int warmup = 1;
  const char* outPath = "/dev/null";
  bool printSamples = false;
  int i = 1;
  // Options up to the first command (or its -C, -i or -e).
  auto isCommandOption = [](const char* word) {
    return std::strcmp(word, "-C") == 0 || std::strcmp(word, "-i") == 0 || std::strcmp(word, "-e") == 0;
  };
  while (i < argc && argv[i][0] == '-' && !isCommandOption(argv[i])) {
    if (std::strcmp(argv[i], "-r") == 0) {
      printSamples = true;
      ++i;
      continue;
    }
    if (i + 1 >= argc) return Usage();
    if (std::strcmp(argv[i], "-n") == 0) {
      rounds = std::atoi(argv[i + 1]);
    } else if (std::strcmp(argv[i], "-w") == 0) {
      warmup = std::atoi(argv[i + 1]);
    } else if (std::strcmp(argv[i], "-o") == 0) {
      outPath = argv[i + 1];
    } else {
      return Usage();
    }
    i += 2;
  }
  if (rounds < 1 || rounds > kMaxRounds || warmup < 0 || i >= argc) return Usage();
  // A command that ends before reading its input must not end the helper.
  signal(SIGPIPE, SIG_IGN);

  // Split the remaining words at "::" in place: each command's argv ends where the next begins.
  static Command commands[kMaxCommands];
  int count = 0;
  while (i < argc) {
    if (count == kMaxCommands) return Usage();
    // A relative -i FILE is taken from where the helper was started.
    while (i + 1 < argc && isCommandOption(argv[i])) {
      if (argv[i][1] == 'C') {
        commands[count].directory = argv[i + 1];
      } else if (argv[i][1] == 'e') {
        commands[count].exitCode = std::atoi(argv[i + 1]);
      } else if (!LoadInput(argv[i + 1], commands[count])) {
        return 1;
      }
      i += 2;
    }
    if (i >= argc) return Usage();
    commands[count].argv = &argv[i];
    while (i < argc && std::strcmp(argv[i], "::") != 0) ++i;
    if (i < argc) argv[i++] = nullptr;
    if (commands[count].argv[0] == nullptr) return Usage();
    ++count;
  }

  for (int c = 0; c < count; ++c) {
    commands[c].wallUs = static_cast<long*>(std::calloc(rounds, sizeof(long)));
    commands[c].rssKb = static_cast<long*>(std::calloc(rounds, sizeof(long)));
    commands[c].minorFaults = static_cast<long*>(std::calloc(rounds, sizeof(long)));
    commands[c].cpuUs = static_cast<long*>(std::calloc(rounds, sizeof(long)));
    if (!commands[c].wallUs || !commands[c].rssKb || !commands[c].minorFaults || !commands[c].cpuUs) return 1;
  }
  // Warm-up rounds bring the files into the page cache; they are checked but not counted.
  for (int r = 0; r < warmup + rounds; ++r) {
    for (int c = 0; c < count; ++c) {
      if (!RunOnce(commands[c], c, outPath, r >= warmup, printSamples)) return 1;
    }
  }

  // Taken before any output: the peak while the children were started.
  long selfKb = OwnHighWaterKb();

  for (int c = 0; c < count; ++c) {
    Command& command = commands[c];
    std::qsort(command.wallUs, command.runs, sizeof(long), CompareLong);
    std::qsort(command.rssKb, command.runs, sizeof(long), CompareLong);
    std::qsort(command.minorFaults, command.runs, sizeof(long), CompareLong);
    std::qsort(command.cpuUs, command.runs, sizeof(long), CompareLong);
    std::printf(
        "cmd=%d runs=%d median_us=%ld p10_us=%ld p90_us=%ld min_us=%ld max_us=%ld median_rss_kb=%ld max_rss_kb=%ld"
        " median_minflt=%ld median_cpu_us=%ld\n",
        c, command.runs, Percentile(command.wallUs, command.runs, 50), Percentile(command.wallUs, command.runs, 10),
        Percentile(command.wallUs, command.runs, 90), command.wallUs[0], command.wallUs[command.runs - 1],
        Percentile(command.rssKb, command.runs, 50), command.rssKb[command.runs - 1],
        Percentile(command.minorFaults, command.runs, 50), Percentile(command.cpuUs, command.runs, 50));
  }
  std::printf("self_rss_kb=%ld\n", selfKb);
  return 0;
}
