// Runs the end-to-end cases of one case file against a built fennick.
//
// A case file holds cases, each starting with a line "=== title". A case
// lists what it lays into a fresh working directory, the arguments, and what
// it expects back:
//
//   arg: VALUE                 one argument (exact text after "arg: ")
//   arg-esc: VALUE             one argument with \xHH, \t and \\ read as in "esc" blocks
//   exit: N                    expected exit code
//   dir: NAME                  an empty directory
//   absent: NAME / present: NAME   after the run
//   max-ms: N                  the run must take at most N milliseconds
//   min-ms: N                  and at least N milliseconds
//   no-driveroot               do not tell the program where the drive root is
//   native-only                not under Wine (Windows cannot take the input)
//   only: classic|netweaver    only against that RFC back end (see --backend)
//   program-alone              run a copy of the program in a folder of its
//                              own, with no RFC library beside it
//   use: NAME                  lay the files of the fixture "=== @NAME" too
//   env: NAME=VALUE            in the program's environment ({WORK} allowed)
//   faketime: YYYY-MM-DD HH:MM:SS  run under libfaketime, the clock (UTC)
//                              starting there, children included; native
//                              only, and left out, with a note, where
//                              libfaketime is not installed
//
// A block titled "=== @NAME" is no case but a fixture: files shared by the
// cases that use it. A later file of the same name overrides the fixture's.
//   --- file NAME [crlf|cr] [noeol] [esc] [utf8bom|utf16le|utf16be]
//                              file content up to "--- end"
//   --- stdout [noeol]         expected standard output up to "--- end"
//   --- stdout parallel        an item run's output side by side, where it must
//   --- expect-file NAME parallel   differ from one system at a time (see below)
//   --- expect-file NAME [noeol]   expected file content after the run
//
// NAME may start with "drive:" for a path below the drive root (where
// "C:\..." paths lead), or with "program:" for a file beside the program
// (with program-alone). In contents and arguments {PASSWD:text} becomes the
// value fennick-passwd makes for text, {PASSWD-TAMPERED:text} the same with
// its check digit made wrong (text must start with "b"), {REPEAT:n:text} repeats text n times
// and {WORK} is the working directory. {NOW}, {NOW-N} and {NOW+N} are the
// UTC seconds of the clock when the case starts (under faketime: of the
// time it gives), less or plus N seconds (Nm minutes, Nh hours, Nd days). In expected texts {TIME} matches a
// time of day and {ANY} any text within a line. Block options: crlf/cr turn
// line ends into CR LF or CR, noeol drops the last line end, esc reads
// \xHH, \r, \n, \t, \0 and \\. utf8bom, utf16le and utf16be write the file
// with that byte-order mark, in that encoding (the case file's text is
// UTF-8), after the placeholders are filled in; the runner's own lines in
// Fennick.Ini (below) follow in the same encoding.
//
// Usage: e2e_runner --fennick PATH --cases FILE [--passwd PATH] [--filter TEXT]
//                   [--backend classic|netweaver] [--keep] [--no-time-limits]
//                   [--wine --wine-prefix DIR [--wine-command PATH]]
//
// --backend netweaver adds "Rfclibrary.: netweaver" to every case's
// Fennick.Ini, so the same cases run against the NetWeaver library; cases
// marked "only: classic" are left out then, and "only: netweaver" cases are
// left out against the classic library (the default).
//
// An item run (ITEM= or GLOBAL) runs twice: as written, which measures the
// systems side by side where the road allows it, and with ",PARALLEL=1"
// added to its parameters, one system at a time. Both must give the
// expected output, and the same bytes as each other (but for the clock and
// the keyword in the console's parameter line), the same exit code and the
// same Fennick.Log, Dev_Rfc.Trc and SapRfc.ini. A case with "parallel"
// blocks expects those side by side instead, and the two runs are
// not compared; a case that gives ",PARALLEL=" itself runs once.
//
// Under Wine the cases run in a folder on the prefix's drive C, as a monitor
// runs its sensors, and "drive:" files lie in that drive. The prefix's
// wineserver must stay up between the runs (start it with "wineserver -p",
// as tests/windows/run.sh does): one that shuts down when no program runs
// fails the program started in that moment, with exit code 1 and no output.
// Wine runs without address randomisation (see Run).
//
// Every XML document a case gets back must be well-formed, whatever the case
// expects: the monitor rejects anything else. The output is a document when
// the exit code is 2 (the error document, in every mode) or when it is 0 and
// the case's Fennick.Ini selects EXEXML, Lumenox or Quimbel ("Outputmode.:",
// value from column 14; EXEXML when absent), unless the first argument asks
// for help (--help, -h, /?: a usage text) or the version (-V, --version).
// The console-report lines, those starting with "* ", are left out and the
// rest goes byte for byte to
// "xmllint --noout --nonet". Without xmllint on the PATH the check is
// skipped, with a note at the start.
//
// A case in the Zabbix form (its Fennick.Ini or its arguments choose it,
// or it prints a JSON object) must print one line of JSON of at most
// 500,000 bytes and nothing on standard error: the agent takes both into
// the item's value. A strict reader of JSON here checks that line, valid
// UTF-8 included.
//
// The Prometheus form's documents go to "promtool check metrics", which must
// accept them without a word (skipped, with a note, without promtool), and
// the Checkmk form's lines through the local-check reader of local_check.h.
// The form is the first of ,NAGIOS, ,ZABBIX, ,PROMETHEUS and ,CHECKMK in the
// arguments or in "SAP Vireo.Gbl", else Fennick.Ini's. A run that writes
// its result into a file (-o FILE, --output=FILE) is checked on that file
// when standard output holds no more than console lines.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/personality.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "local_check.h"
#include "without_clock.h"

namespace {

struct FileSpec {
  std::string name;
  std::string content;
  bool isDirectory = false;
  std::string encoding;  // empty: the bytes as they are
};

struct Case {
  std::string title;
  int line = 0;
  std::vector<std::string> args;
  std::vector<FileSpec> files;
  bool expectExit = false;
  int exitCode = 0;
  bool expectStdout = false;
  std::string stdoutPattern;
  // An item run whose bytes side by side must differ from those one at a
  // time: a system that hangs before others that finish, under a budget.
  bool hasParallelStdout = false;
  std::string parallelStdoutPattern;
  std::vector<FileSpec> expectFiles;
  std::vector<FileSpec> parallelExpectFiles;
  std::vector<std::string> absent;
  std::vector<std::string> present;
  std::vector<std::string> env;
  std::string fakeTime;  // empty: the real clock
  long maxMs = 0;
  long minMs = 0;
  bool driveRoot = true;
  bool nativeOnly = false;
  bool programAlone = false;
  std::string onlyBackend;
};

struct Options {
  std::string fennick;
  std::string passwd;
  std::string cases;
  std::string filter;
  std::string winePrefix;
  std::string wineCommand = "wine";
  std::string backend = "classic";
  std::string fakeTimeLibrary;  // empty: none installed
  bool wine = false;
  bool keep = false;
  bool timeLimits = true;
  bool checkXml = true;
  bool checkMetrics = true;
};

[[noreturn]] void Die(const std::string& message) {
  std::cerr << "e2e_runner: " << message << "\n";
  std::exit(2);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    if (c == 'n')
      out += '\n';
    else if (c == 'r')
      out += '\r';
    else if (c == 't')
      out += '\t';
    else if (c == '0')
      out += '\0';
    else if (c == 'x' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else
      out += c;
  }
  return out;
}

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsEncoding(const std::string& word) { return word == "utf8bom" || word == "utf16le" || word == "utf16be"; }

bool IsBlockOption(const std::string& word) {
  return word == "noeol" || word == "esc" || word == "crlf" || word == "cr" || IsEncoding(word);
}

// UTF-8 text written in `encoding`, with its byte-order mark. A byte that
// is no part of UTF-8 stands for the character of the same number.
std::string Encode(const std::string& text, const std::string& encoding) {
  if (encoding.empty()) return text;
  if (encoding == "utf8bom") return "\xEF\xBB\xBF" + text;
  std::vector<unsigned> units;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    unsigned cp = length == 1 ? c : c & (0x3F >> (length - 1));
    for (size_t k = 1; k < length; ++k) {
      unsigned char next = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
      if ((next & 0xC0) != 0x80) length = 1;
      cp = length == 1 ? c : cp << 6 | (next & 0x3F);
    }
    i += length;
    if (cp >= 0x10000) {
      units.push_back(0xD800 + ((cp - 0x10000) >> 10));
      units.push_back(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      units.push_back(cp);
    }
  }
  const bool little = encoding == "utf16le";
  std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
  for (unsigned unit : units) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += little ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

// Applies the block options to the lines gathered between the markers.
std::string ShapeBlock(std::string content, const std::vector<std::string>& options) {
  bool noeol = false, esc = false;
  std::string lineEnd = "\n";
  for (const std::string& o : options) {
    if (IsEncoding(o)) continue;  // applied when the file is written
    if (o == "noeol")
      noeol = true;
    else if (o == "esc")
      esc = true;
    else if (o == "crlf")
      lineEnd = "\r\n";
    else if (o == "cr")
      lineEnd = "\r";
    else
      Die("unknown block option " + o);
  }
  if (noeol && !content.empty()) content.pop_back();
  if (lineEnd != "\n") {
    std::string converted;
    for (char c : content) converted += c == '\n' ? lineEnd : std::string(1, c);
    content = converted;
  }
  return esc ? Unescape(content) : content;
}

std::vector<Case> ParseCases(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Die("cannot read " + path);
  std::vector<Case> cases;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (StartsWith(line, "=== ")) {
      cases.push_back(Case());
      cases.back().title = line.substr(4);
      cases.back().line = number;
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    if (cases.empty()) Die(path + ":" + std::to_string(number) + ": text before the first case");
    Case& c = cases.back();
    if (StartsWith(line, "---")) {
      std::vector<std::string> words = Words(line.substr(3));
      if (words.empty()) Die(path + ":" + std::to_string(number) + ": block without a kind");
      std::string kind = words[0];
      // Block options come last; a file name may hold blanks.
      std::string name = Trim(line.substr(line.find(kind) + kind.size()));
      std::vector<std::string> options;
      for (size_t blank = name.rfind(' '); blank != std::string::npos && IsBlockOption(name.substr(blank + 1));
           blank = name.rfind(' ')) {
        options.insert(options.begin(), name.substr(blank + 1));
        name = Trim(name.substr(0, blank));
      }
      if (IsBlockOption(name)) {
        options.insert(options.begin(), name);
        name.clear();
      }
      // "parallel": what an item run side by side must give instead.
      bool parallel = false;
      if (name == "parallel" || (name.size() > 9 && name.compare(name.size() - 9, 9, " parallel") == 0)) {
        parallel = true;
        name = Trim(name.substr(0, name.size() - 8));
      }
      bool named = kind == "file" || kind == "expect-file";
      if (named == name.empty()) Die(path + ":" + std::to_string(number) + ": cannot read block line: " + line);
      std::string content;
      bool closed = false;
      while (std::getline(in, line)) {
        ++number;
        if (line == "--- end") {
          closed = true;
          break;
        }
        content += line + "\n";
      }
      if (!closed) Die(path + ": block at case '" + c.title + "' has no '--- end'");
      content = ShapeBlock(content, options);
      std::string encoding;
      for (const std::string& o : options) {
        if (IsEncoding(o)) encoding = o;
      }
      if (!encoding.empty() && kind != "file") {
        Die(path + ":" + std::to_string(number) + ": " + encoding + " is for files");
      }
      if (kind == "file")
        c.files.push_back({name, content, false, encoding});
      else if (kind == "expect-file" && parallel)
        c.parallelExpectFiles.push_back({name, content, false, ""});
      else if (kind == "expect-file")
        c.expectFiles.push_back({name, content, false, ""});
      else if (kind == "stdout" && parallel) {
        c.hasParallelStdout = true;
        c.parallelStdoutPattern = content;
      } else if (kind == "stdout") {
        c.expectStdout = true;
        c.stdoutPattern = content;
      } else
        Die(path + ":" + std::to_string(number) + ": unknown block " + kind);
      continue;
    }
    if (StartsWith(line, "arg-esc: "))
      c.args.push_back(Unescape(line.substr(9)));
    else if (StartsWith(line, "arg:"))
      c.args.push_back(line.size() > 5 ? line.substr(5) : "");
    else if (StartsWith(line, "exit: ")) {
      c.expectExit = true;
      c.exitCode = std::stoi(line.substr(6));
    } else if (StartsWith(line, "dir: "))
      c.files.push_back({line.substr(5), "", true, ""});
    else if (StartsWith(line, "absent: "))
      c.absent.push_back(line.substr(8));
    else if (StartsWith(line, "present: "))
      c.present.push_back(line.substr(9));
    else if (StartsWith(line, "env: "))
      c.env.push_back(line.substr(5));
    else if (StartsWith(line, "faketime: "))
      c.fakeTime = line.substr(10);
    else if (StartsWith(line, "max-ms: "))
      c.maxMs = std::stol(line.substr(8));
    else if (StartsWith(line, "min-ms: "))
      c.minMs = std::stol(line.substr(8));
    else if (line == "no-driveroot")
      c.driveRoot = false;
    else if (line == "native-only")
      c.nativeOnly = true;
    else if (line == "program-alone")
      c.programAlone = true;
    else if (StartsWith(line, "only: ")) {
      c.onlyBackend = line.substr(6);
      if (c.onlyBackend != "classic" && c.onlyBackend != "netweaver")
        Die(path + ":" + std::to_string(number) + ": unknown back end " + c.onlyBackend);
    } else if (StartsWith(line, "use: ")) {
      // A shared set of files from an earlier "=== @name" block.
      std::string fixture = line.substr(5);
      const Case* shared = nullptr;
      for (const Case& earlier : cases) {
        if (earlier.title == "@" + fixture) shared = &earlier;
      }
      if (!shared) Die(path + ":" + std::to_string(number) + ": no fixture @" + fixture + " above");
      c.files.insert(c.files.begin(), shared->files.begin(), shared->files.end());
    } else
      Die(path + ":" + std::to_string(number) + ": cannot read line: " + line);
  }
  return cases;
}

std::string ReadFile(const std::string& path, bool* ok = nullptr) {
  std::ifstream in(path, std::ios::binary);
  if (ok) *ok = static_cast<bool>(in);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void MakeDirectories(const std::string& path) {
  for (size_t pos = 1; pos != std::string::npos;) {
    pos = path.find('/', pos + 1);
    std::string part = path.substr(0, pos);
    mkdir(part.c_str(), 0755);
  }
}

void WriteFile(const std::string& path, const std::string& content) {
  size_t slash = path.rfind('/');
  if (slash != std::string::npos) MakeDirectories(path.substr(0, slash));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) Die("cannot write " + path);
  out << content;
}

void RemoveTree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    if (DIR* dir = opendir(path.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") RemoveTree(path + "/" + name);
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
  long ms = 0;
  bool timedOut = false;
};

// Runs a program in `cwd` with its output caught in files outside `cwd`.
// `fixedAddresses` turns off address randomisation for it: Wine's 64-bit
// loader is a program at a fixed address, and without Wine's preloader (not
// shipped here) the kernel may put its heap anywhere in the gigabyte above
// it, now and then onto the page Wine must map at 0x7ffe0000 for Windows'
// shared user data. That start fails at once with exit code 1 and no output
// ("failed to map the shared user data: c0000018"), about once in a few
// thousand. Without randomisation the heap follows the loader and stays clear.
Outcome Run(const std::vector<std::string>& argv, const std::string& cwd, const std::string& scratch,
            const std::vector<std::string>& env, int timeoutSeconds, bool fixedAddresses = false) {
  std::string outPath = scratch + "/stdout", errPath = scratch + "/stderr";
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) Die("fork failed");
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int null = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || null < 0 || chdir(cwd.c_str()) != 0) _exit(126);
    dup2(null, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    if (fixedAddresses && personality(ADDR_NO_RANDOMIZE) == -1) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  Outcome outcome;
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    auto elapsed = std::chrono::steady_clock::now() - start;
    if (elapsed > std::chrono::seconds(timeoutSeconds)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      outcome.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  outcome.ms = static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
  if (WIFEXITED(status))
    outcome.exitCode = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    outcome.exitCode = 128 + WTERMSIG(status);
  outcome.out = ReadFile(outPath);
  outcome.err = ReadFile(errPath);
  return outcome;
}

class Expander {
 public:
  Expander(const Options& options, const std::string& scratch) : options_(options), scratch_(scratch) {}
  std::string work;
  long long now = 0;  // UTC seconds for {NOW}

  std::string Expand(const std::string& text) {
    std::string out;
    size_t pos = 0;
    for (;;) {
      size_t open = text.find('{', pos);
      if (open == std::string::npos) break;
      size_t close = text.find('}', open);
      if (close == std::string::npos) break;
      std::string inner = text.substr(open + 1, close - open - 1);
      std::string replacement;
      if (StartsWith(inner, "PASSWD:"))
        replacement = Passwd(inner.substr(7));
      else if (StartsWith(inner, "PASSWD-TAMPERED:")) {
        // Flipping the lowest bit of the first body character flips it in the
        // password's first character: "b" becomes "c", and the check digit
        // no longer fits.
        replacement = Passwd(inner.substr(16));
        replacement[4] = static_cast<char>(replacement[4] ^ 0x01);
      } else if (StartsWith(inner, "REPEAT:")) {
        size_t colon = inner.find(':', 7);
        if (colon == std::string::npos) Die("bad placeholder {" + inner + "}");
        long count = std::stol(inner.substr(7, colon - 7));
        std::string unit = inner.substr(colon + 1);
        replacement.reserve(unit.size() * count);
        for (long i = 0; i < count; ++i) replacement += unit;
      } else if (inner == "WORK") {
        replacement = work;
      } else if (StartsWith(inner, "NOW")) {
        replacement = std::to_string(now + Seconds(inner.substr(3)));
      } else {
        // A matcher such as {TIME}, or a brace of the text itself (a JSON
        // object's): the search goes on right after this brace.
        out += text.substr(pos, open + 1 - pos);
        pos = open + 1;
        continue;
      }
      out += text.substr(pos, open - pos) + replacement;
      pos = close + 1;
    }
    return out + text.substr(pos);
  }

 private:
  // "", "-90", "+2h", "-8d": seconds to add to {NOW}.
  static long long Seconds(const std::string& offset) {
    if (offset.empty()) return 0;
    if (offset.size() < 2 || (offset[0] != '-' && offset[0] != '+')) Die("bad placeholder {NOW" + offset + "}");
    std::string digits = offset.substr(1);
    long long unit = 1;
    const char suffix = digits.back();
    if (suffix == 'm' || suffix == 'h' || suffix == 'd') {
      unit = suffix == 'm' ? 60 : suffix == 'h' ? 3600 : 86400;
      digits.pop_back();
    }
    const long long value = std::stoll(digits) * unit;
    return offset[0] == '-' ? -value : value;
  }

  std::string Passwd(const std::string& password) {
    auto cached = cache_.find(password);
    if (cached != cache_.end()) return cached->second;
    Outcome o = Run({options_.passwd, password}, scratch_, scratch_, {}, 30);
    if (o.exitCode != 0) Die("fennick-passwd refused '" + password + "': " + o.err);
    std::string value = o.out;
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    return cache_[password] = value;
  }

  const Options& options_;
  std::string scratch_;
  std::map<std::string, std::string> cache_;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Matches actual output against a pattern with {TIME} and {ANY}.
bool Matches(const std::string& pattern, size_t p, const std::string& actual, size_t a) {
  while (p < pattern.size()) {
    if (pattern.compare(p, 6, "{TIME}") == 0) {
      if (a + 8 > actual.size()) return false;
      const std::string t = actual.substr(a, 8);
      if (!(IsDigit(t[0]) && IsDigit(t[1]) && t[2] == ':' && IsDigit(t[3]) && IsDigit(t[4]) && t[5] == ':' &&
            IsDigit(t[6]) && IsDigit(t[7])))
        return false;
      p += 6;
      a += 8;
      continue;
    }
    if (pattern.compare(p, 5, "{ANY}") == 0) {
      for (size_t end = a;; ++end) {
        if (Matches(pattern, p + 5, actual, end)) return true;
        if (end >= actual.size() || actual[end] == '\n') return false;
      }
    }
    if (a >= actual.size() || pattern[p] != actual[a]) return false;
    ++p;
    ++a;
  }
  return a == actual.size();
}

// Shows a text with every line end and control byte visible.
std::string Visible(const std::string& text, size_t limit = 4000) {
  std::string out = "    |";
  size_t shown = 0;
  for (char ch : text) {
    if (++shown > limit) {
      out += "... (" + std::to_string(text.size()) + " bytes in all)";
      break;
    }
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\n')
      out += "\\n\n    |";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (c < 0x20 || c >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else
      out += ch;
  }
  return out + "\n";
}

// The output mode the program reads from Fennick.Ini: the last
// "Outputmode.:" line wins, blanks and a CR at its end do not count.
std::string OutputMode(const std::string& ini) {
  std::string mode = "EXEXML";
  std::istringstream in(ini);
  for (std::string line; std::getline(in, line);) {
    if (!StartsWith(line, "Outputmode.:")) continue;
    mode = line.size() > 13 ? line.substr(13) : "";
    while (!mode.empty() && (mode.back() == ' ' || mode.back() == '\t' || mode.back() == '\r')) mode.pop_back();
  }
  return mode;
}

// Whether the output is a document the monitor parses as XML. The plugin
// form is a status line in every case. Exit code 1 is the RFC library's
// error handler: its "RFC error" block is plain text, but in a group run in
// an XML form it closes the open document, which must then be well formed.
bool OutputIsXmlDocument(int exitCode, const std::string& mode, const std::vector<std::string>& args,
                         const std::string& out) {
  if (mode == "Nagios" || StartsWith(out, "FENNICK ")) return false;
  if (exitCode == 2) return true;
  const bool help = !args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "/?" || args[0] == "-V" ||
                                      args[0] == "--version");
  const bool xmlForm = mode == "EXEXML" || mode == "Lumenox" || mode == "Quimbel";
  if (exitCode == 1) return xmlForm && out.find("RFC error\n") == std::string::npos;
  return exitCode == 0 && !help && xmlForm;
}

// Whether the run was in the Zabbix form: chosen by Fennick.Ini or the
// arguments (unless the plugin form came first there), or a JSON object out.
bool ZabbixForm(const std::string& mode, const std::vector<std::string>& args, const std::string& out) {
  if (StartsWith(out, "FENNICK ")) return false;
  if (!args.empty() &&
      (args[0] == "--help" || args[0] == "-h" || args[0] == "/?" || args[0] == "-V" || args[0] == "--version"))
    return false;
  std::string words;
  for (const std::string& arg : args) words += " " + arg;
  for (char& ch : words) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return mode == "Zabbix" || words.find("ZABBIX") != std::string::npos || StartsWith(out, "{");
}

// The output without the console-report lines, which run through the
// document but are not part of it.
std::string WithoutConsoleLines(const std::string& output) {
  std::string document;
  for (size_t start = 0; start < output.size();) {
    size_t end = output.find('\n', start);
    end = end == std::string::npos ? output.size() : end + 1;
    if (output.compare(start, 2, "* ") != 0) document.append(output, start, end - start);
    start = end;
  }
  return document;
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    struct stat info;
    std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

// xmllint's verdict on the document; empty when it is well-formed. It runs
// in a folder of its own, so the case's working directory and the program's
// caught output stay as they were.
std::string CheckXmlDocument(const std::string& document, const std::string& scratch) {
  const std::string dir = scratch + "/xmllint";
  const std::string file = dir + "/document.xml";
  WriteFile(file, document);
  Outcome o = Run({"xmllint", "--noout", "--nonet", file}, dir, dir, {}, 30);
  if (o.exitCode == 0 && !o.timedOut) return "";
  std::string report =
      "  the output is not a well-formed XML document (xmllint exit code " + std::to_string(o.exitCode) + ")\n";
  report += "  xmllint says:\n" + Visible(o.err + o.out) + "  document:\n" + Visible(document);
  return report;
}

// A strict reader of one JSON text (RFC 8259); `error` says where it fails.
struct JsonReader {
  const std::string& t;
  size_t i = 0;
  std::string error;

  bool Fail(const std::string& what) {
    if (error.empty()) error = what + " at byte " + std::to_string(i);
    return false;
  }
  void Blanks() {
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\n' || t[i] == '\r')) ++i;
  }
  bool Take(char c) {
    Blanks();
    if (i < t.size() && t[i] == c) return ++i, true;
    return false;
  }
  bool Digits() {
    const size_t start = i;
    while (i < t.size() && IsDigitChar(t[i])) ++i;
    return i > start;
  }
  static bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }
  bool Number() {
    if (i < t.size() && t[i] == '-') ++i;
    if (i < t.size() && t[i] == '0') {
      ++i;
    } else if (!Digits()) {
      return Fail("a bad number");
    }
    if (i < t.size() && t[i] == '.' && (++i, !Digits())) return Fail("a bad fraction");
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
      if (++i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
      if (!Digits()) return Fail("a bad exponent");
    }
    return true;
  }
  // One UTF-8 character of at least two bytes, in shortest form, no surrogate.
  bool Utf8() {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    const size_t length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > t.size()) return Fail("invalid UTF-8");
    unsigned cp = c & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(t[i + k]);
      if ((next & 0xC0) != 0x80) return Fail("invalid UTF-8");
      cp = cp << 6 | (next & 0x3F);
    }
    const unsigned smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return Fail("invalid UTF-8");
    i += length;
    return true;
  }
  bool String() {
    if (!Take('"')) return Fail("no string");
    while (i < t.size() && t[i] != '"') {
      const unsigned char c = static_cast<unsigned char>(t[i]);
      if (c < 0x20) return Fail("a raw control character");
      if (c >= 0x80) {
        if (!Utf8()) return false;
        continue;
      }
      if (c == '\\') {
        if (++i >= t.size()) break;
        if (t[i] == 'u') {
          for (int k = 1; k <= 4; ++k) {
            if (i + k >= t.size() || !std::isxdigit(static_cast<unsigned char>(t[i + k]))) return Fail("a bad \\u");
          }
          i += 4;
        } else if (std::string("\"\\/bfnrt").find(t[i]) == std::string::npos) {
          return Fail("a bad escape");
        }
      }
      ++i;
    }
    if (i >= t.size()) return Fail("an open string");
    return ++i, true;
  }
  bool Value(int depth) {
    Blanks();
    if (depth > 64) return Fail("too deep");
    if (i >= t.size()) return Fail("no value");
    const char c = t[i];
    if (c == '{' || c == '[') {
      const char close = c == '{' ? '}' : ']';
      ++i;
      if (Take(close)) return true;
      do {
        if (c == '{' && !(String() && (Take(':') || Fail("no colon")))) return false;
        if (!Value(depth + 1)) return false;
      } while (Take(','));
      return Take(close) || Fail(std::string("no ") + close);
    }
    if (c == '"') return String();
    for (const char* word : {"true", "false", "null"}) {
      if (t.compare(i, std::strlen(word), word) == 0) return i += std::strlen(word), true;
    }
    return Number();
  }
};

// Standard error without the lines Wine itself writes ("0044:err:...").
std::string WithoutWineLines(const std::string& err) {
  std::string kept;
  std::istringstream lines(err);
  for (std::string line; std::getline(lines, line);) {
    const size_t colon = line.find(':');
    const bool wine = colon != std::string::npos && colon > 0 && line.find_first_not_of("0123456789abcdef") == colon &&
                      (line.compare(colon, 5, ":err:") == 0 || line.compare(colon, 7, ":fixme:") == 0 ||
                       line.compare(colon, 6, ":warn:") == 0);
    if (!wine) kept += line + "\n";
  }
  return kept;
}

// What is wrong with a Zabbix document and the standard error beside it;
// empty when nothing is.
std::string CheckZabbixDocument(const std::string& out, const std::string& err) {
  std::string problem;
  if (!err.empty()) problem += "standard error is not empty; ";
  if (out.empty() || out.back() != '\n' || out.find('\n') != out.size() - 1) problem += "not one line; ";
  // The agent refuses 512 KB; the form promises to stay within this.
  if (out.size() > 500000) problem += "more than 500,000 bytes; ";
  JsonReader reader{out, 0, ""};
  if (out.compare(0, 1, "{") != 0) problem += "not a JSON object; ";
  if (!reader.Value(0)) {
    problem += "not JSON: " + reader.error + "; ";
  } else {
    reader.Blanks();
    if (reader.i != out.size()) problem += "more after the JSON value at byte " + std::to_string(reader.i) + "; ";
  }
  if (problem.empty()) return "";
  return "  the Zabbix document is wrong: " + problem + "\n  document:\n" + Visible(out);
}

// The form the run writes in: the first form keyword of the arguments or of
// a global sensor listing, else Fennick.Ini's.
std::string ChosenForm(const std::string& mode, const std::vector<std::string>& args,
                       const std::vector<FileSpec>& files) {
  std::string text;
  for (size_t i = 1; i < args.size(); ++i) text += " " + args[i];
  for (const FileSpec& f : files) {
    if (f.name.size() >= 13 && f.name.compare(f.name.size() - 13, 13, "SAP Vireo.Gbl") == 0) text += " " + f.content;
  }
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const char* const keywords[][2] = {
      {"NAGIOS", "Nagios"}, {"ZABBIX", "Zabbix"}, {"PROMETHEUS", "Prometheus"}, {"CHECKMK", "Checkmk"}};
  size_t first = std::string::npos;
  std::string form = mode;
  for (const auto& keyword : keywords) {
    for (size_t at = text.find(keyword[0]); at != std::string::npos; at = text.find(keyword[0], at + 1)) {
      if (text[at - 1] != ',' && text[at - 1] != ' ') continue;
      if (at < first) {
        first = at;
        form = keyword[1];
      }
      break;
    }
  }
  return form;
}

// The file a run writes its result into, as its options name it; empty for
// none.
std::string OutputFileOption(const std::vector<std::string>& args) {
  for (size_t i = 1; i < args.size(); ++i) {
    if ((args[i] == "-o" || args[i] == "--output") && i + 1 < args.size()) return args[i + 1];
    if (StartsWith(args[i], "--output=")) return args[i].substr(9);
    if (StartsWith(args[i], "-o")) return args[i].substr(2);
  }
  return "";
}

// The result the monitor reads: standard output, or the run's file where
// standard output holds no more than console lines.
std::string ResultDocument(const std::string& out, const std::vector<std::string>& args, const std::string& work) {
  const std::string file = OutputFileOption(args);
  if (file.empty() || WithoutConsoleLines(out).find_first_not_of('\n') != std::string::npos) return out;
  bool ok = false;
  const std::string content = ReadFile(file[0] == '/' ? file : work + "/" + file, &ok);
  return ok ? content : out;
}

// promtool's verdict on a Prometheus document: empty when it takes it
// without a word.
std::string CheckMetricsDocument(const std::string& document, const std::string& scratch) {
  const std::string dir = scratch + "/promtool";
  WriteFile(dir + "/metrics.prom", document);
  Outcome o = Run({"sh", "-c", "exec promtool check metrics < metrics.prom"}, dir, dir, {}, 30);
  if (o.exitCode == 0 && !o.timedOut && o.out.empty() && o.err.empty()) return "";
  return "  promtool check metrics does not take the document (exit code " + std::to_string(o.exitCode) +
         ")\n  promtool says:\n" + Visible(o.err + o.out) + "  document:\n" + Visible(document);
}

std::string CheckLocalCheckLines(const std::string& output) {
  const std::string problems = local_check::Problems(output);
  if (problems.empty()) return "";
  return "  the output is not Checkmk's local-check lines:\n" + Visible(problems) + "  output:\n" + Visible(output);
}

// The first line where expected and actual part, for a quick read.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected), a(actual);
  std::string el, al;
  for (int line = 1;; ++line) {
    bool he = static_cast<bool>(std::getline(e, el));
    bool ha = static_cast<bool>(std::getline(a, al));
    if (!he && !ha) return "  (the difference is in the final line end)\n";
    if (!he || !ha || !Matches(el, 0, al, 0)) {
      return "  first difference at line " + std::to_string(line) +
             ":\n    expected: " + (he ? el : "(end of output)") + "\n    actual:   " + (ha ? al : "(end of output)") +
             "\n";
    }
  }
}

std::string DrivePath(const Options& options, const std::string& scratch) {
  return options.wine ? options.winePrefix + "/drive_c" : scratch + "/drive";
}

std::string Place(const std::string& name, const std::string& work, const std::string& drive) {
  if (StartsWith(name, "drive:")) return drive + "/" + name.substr(6);
  // The program-alone folder lies beside the working folder.
  if (StartsWith(name, "program:")) return work + "/../alone/" + name.substr(8);
  return work + "/" + name;
}

// An item case runs twice: as written, where the road measures systems side
// by side, and once more with ",PARALLEL=1", one system at a time. The
// keyword goes at the end of the parameters: behind the last argument, or,
// for a global sensor, into its line in "SAP Vireo.Gbl" before ",Sensor=".
const char kOneByOne[] = ",PARALLEL=1";
const char kGlobalListing[] = "SAP Vireo.Gbl";
const size_t kListingLineLimit = 199;

struct Variant {
  bool oneByOne = false;
  bool inArguments = false;  // else in the global listing
  bool shown = false;        // the console's parameter line shows the keyword
  std::string stdoutPattern;
  std::vector<FileSpec> expectFiles;
};

std::string Upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

// Whether text put at the end of the parameters shows in the item run's
// console line, which cuts them at " @" once colons are blanks.
bool EndShows(std::string parameters) {
  for (char& ch : parameters) {
    if (ch == ':') ch = ' ';
  }
  return parameters.find(" @") == std::string::npos;
}

bool IsGlobalListingLine(const std::string& line) { return Upper(line.substr(0, 8)) == "# GSNX: "; }

// The sensor's parameters in a listing line: what comes before ",Sensor=".
std::string SensorParameters(const std::string& line) {
  std::string text = line.size() > 19 ? line.substr(19) : std::string();
  return text.substr(0, text.find(",Sensor="));
}

std::string WithKeywordInLine(std::string line) {
  std::string end;
  if (!line.empty() && line.back() == '\r') {
    end = "\r";
    line.pop_back();
  }
  size_t at = line.find(",Sensor=");
  line.insert(at == std::string::npos ? line.size() : at, kOneByOne);
  return line + end;
}

Variant OneByOneVariant(const Case& c) {
  Variant v;
  v.stdoutPattern = c.stdoutPattern;
  v.expectFiles = c.expectFiles;
  if (c.args.empty()) return v;
  std::string parameters = c.args.size() > 1 ? c.args[1] : "";
  if (c.args.size() > 2) parameters += " " + c.args[2];
  if (Upper(parameters).find(",PARALLEL=") != std::string::npos) return v;  // the case chose
  std::string profile = Upper(c.args[0].substr(c.args[0].find_last_of("\\/") + 1));
  if (Upper(parameters).find("ITEM=") != std::string::npos) {
    if (c.args.size() < 2) return v;
    v.inArguments = true;
    v.shown = EndShows(parameters);
  } else if (profile == "GLOBAL" || profile == "GLOBAL.P00") {
    const FileSpec* listing = nullptr;
    for (const FileSpec& f : c.files) {
      if (f.name.size() >= std::strlen(kGlobalListing) &&
          f.name.compare(f.name.size() - std::strlen(kGlobalListing), std::string::npos, kGlobalListing) == 0)
        listing = &f;
    }
    if (!listing) return v;
    std::istringstream lines(listing->content);
    bool found = false;
    for (std::string line; std::getline(lines, line);) {
      if (!IsGlobalListingLine(line)) continue;
      // A line the keyword would push past the reading limit is left alone.
      if (line.size() + std::strlen(kOneByOne) >= kListingLineLimit) return v;
      found = true;
      v.shown = EndShows(SensorParameters(line));
    }
    if (!found) return v;
  } else {
    return v;
  }
  v.oneByOne = true;
  const std::string executing = " State=Executing\n";
  size_t at = v.stdoutPattern.find(executing);
  if (v.shown && at != std::string::npos) v.stdoutPattern.insert(at, kOneByOne);
  return v;
}

// Options whose value is the next argument.
bool TakesNextArgument(const std::string& option) {
  for (const char* name : {"-o", "--output", "-w", "-c", "-t", "--warning", "--critical", "--timeout"}) {
    if (option == name) return true;
  }
  return false;
}

// Behind the last parameter word: an option and its value are none.
std::vector<std::string> OneByOneArguments(const Variant& v, std::vector<std::string> args) {
  if (!v.inArguments) return args;
  size_t last = 1;
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i].size() > 1 && args[i][0] == '-') {
      if (TakesNextArgument(args[i])) ++i;
      continue;
    }
    last = i;
  }
  args[last] += kOneByOne;
  return args;
}

std::string OneByOneFile(const Variant& v, const std::string& name, const std::string& content) {
  if (v.inArguments || name.size() < std::strlen(kGlobalListing) ||
      name.compare(name.size() - std::strlen(kGlobalListing), std::string::npos, kGlobalListing) != 0)
    return content;
  std::string out;
  std::istringstream lines(content);
  for (std::string line; std::getline(lines, line);) {
    out += (IsGlobalListingLine(line) ? WithKeywordInLine(line) : line) + "\n";
  }
  if (!content.empty() && content.back() != '\n' && !out.empty()) out.pop_back();
  return out;
}

// The run with ",PARALLEL=1" as the run as written would print it.
std::string WithoutShownInjection(const std::string& out, const Variant& v) {
  if (!v.shown) return out;
  const std::string shown = std::string(kOneByOne) + " State=Executing\n";
  size_t at = out.find(shown);
  if (at == std::string::npos) return out;
  return out.substr(0, at) + out.substr(at + std::strlen(kOneByOne));
}

// What one run of a case left: the verdict and what the runs of an item
// case are compared by.
struct RunRecord {
  std::string report;
  Outcome outcome;
  std::map<std::string, std::string> files;  // the files both runs must leave alike
};

// The files an item run leaves in its working directory, compared between
// a run one system at a time and one side by side.
const char* const kComparedFiles[] = {"Fennick.Log", "Dev_Rfc.Trc", "dev_rfc.trc", "SapRfc.ini"};

// The program's standard error for a failure report, said to be empty when
// it is.
std::string StandardErrorReport(const Outcome& o) {
  if (o.err.empty()) return "  standard error: (empty)\n";
  return "  standard error:\n" + Visible(o.err);
}

// The UTC seconds of "YYYY-MM-DD HH:MM:SS".
long long FakeSeconds(const std::string& text) {
  struct tm parts = {};
  if (!strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &parts)) Die("bad faketime " + text);
  return static_cast<long long>(timegm(&parts));
}

// libfaketime where Debian and others install it.
std::string FindFakeTimeLibrary() {
  for (const char* path : {"/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
                           "/usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1", "/usr/lib/faketime/libfaketime.so.1",
                           "/usr/lib64/faketime/libfaketime.so.1", "/usr/local/lib/faketime/libfaketime.so.1"}) {
    if (access(path, R_OK) == 0) return path;
  }
  return "";
}

RunRecord RunVariant(const Options& options, const Case& c, const Variant& variant) {
  std::string scratchTemplate =
      (options.wine ? options.winePrefix + "/drive_c" : std::string("/tmp")) + "/fennick-e2e-XXXXXX";
  if (!mkdtemp(&scratchTemplate[0])) Die("cannot make a temporary directory");
  const std::string scratch = scratchTemplate;
  const std::string work = scratch + "/work";
  const std::string drive = DrivePath(options, scratch);
  MakeDirectories(work);
  MakeDirectories(drive);
  MakeDirectories(scratch + "/alone");
  Expander expander(options, scratch);
  expander.work = work;
  expander.now = c.fakeTime.empty() ? static_cast<long long>(time(nullptr)) : FakeSeconds(c.fakeTime);

  std::vector<std::string> driveEntries;  // laid into a shared Wine drive: removed afterwards
  std::string ini;                        // the text of the case's Fennick.Ini, before its encoding
  std::string iniEncoding;
  for (const FileSpec& f : c.files) {
    std::string path = Place(f.name, work, drive);
    if (StartsWith(f.name, "drive:")) driveEntries.push_back(drive + "/" + f.name.substr(6, f.name.find('/', 6) - 6));
    if (f.isDirectory)
      MakeDirectories(path);
    else
      WriteFile(path, Encode(variant.oneByOne ? OneByOneFile(variant, f.name, expander.Expand(f.content))
                                              : expander.Expand(f.content),
                             f.encoding));
    if (f.name == "Fennick.Ini" && !f.isDirectory) {
      ini = expander.Expand(f.content);
      iniEncoding = f.encoding;
    }
  }
  std::string settings;
  // Native runs find "C:\..." below the case's own drive directory.
  if (!options.wine && c.driveRoot) settings += "Driveroot..: " + drive + "\n";
  if (options.backend != "classic") settings += "Rfclibrary.: " + options.backend + "\n";
  struct stat iniInfo;
  const bool iniIsDirectory = stat((work + "/Fennick.Ini").c_str(), &iniInfo) == 0 && S_ISDIR(iniInfo.st_mode);
  if (!settings.empty() && !iniIsDirectory) {  // a case about a directory there keeps it
    if (!ini.empty() && ini.back() != '\n') ini += "\n";
    ini += settings;
    WriteFile(work + "/Fennick.Ini", Encode(ini, iniEncoding));
  }
  std::string program = options.fennick;
  if (c.programAlone) {
    // A folder of its own: no RFC library beside the program.
    const std::string alone = scratch + "/alone";
    program = alone + program.substr(program.rfind('/'));
    WriteFile(program, ReadFile(options.fennick));
    chmod(program.c_str(), 0755);
  }

  std::vector<std::string> argv;
  std::vector<std::string> env;
  if (options.wine) {
    argv = {options.wineCommand, program};
    // Wine's own errors only: a failure report then says why Wine gave up.
    env = {"WINEPREFIX=" + options.winePrefix, "WINEDEBUG=-all,err+all"};
  } else {
    argv = {program};
  }
  std::vector<std::string> args;
  for (const std::string& a : c.args) args.push_back(expander.Expand(a));
  if (variant.oneByOne) args = OneByOneArguments(variant, args);
  argv.insert(argv.end(), args.begin(), args.end());
  for (const std::string& e : c.env) env.push_back(expander.Expand(e));
  if (!c.fakeTime.empty()) {
    // The monotonic clock stays true: the time budget counts on it.
    for (const std::string& e : {"LD_PRELOAD=" + options.fakeTimeLibrary, "FAKETIME=@" + c.fakeTime,
                                 std::string("FAKETIME_DONT_FAKE_MONOTONIC=1"), std::string("TZ=UTC")}) {
      env.push_back(e);
    }
    // A sanitizer build wants its runtime first of all libraries; the
    // preloaded clock is harmless before it.
    const char* asan = getenv("ASAN_OPTIONS");
    env.push_back(std::string("ASAN_OPTIONS=") + (asan ? std::string(asan) + ":" : "") + "verify_asan_link_order=0");
  }
  const std::string mode = OutputMode(ini);
  RunRecord record;
  Outcome& o = record.outcome;
  o = Run(argv, work, scratch, env, options.wine ? 60 : 40, options.wine);

  std::string& report = record.report;
  if (o.timedOut) report += "  the run did not end in time and was killed\n";
  if (c.expectExit && o.exitCode != c.exitCode) {
    report += "  exit code: expected " + std::to_string(c.exitCode) + ", got " + std::to_string(o.exitCode) + "\n";
  }
  if (c.expectStdout) {
    std::string expected = expander.Expand(variant.stdoutPattern);
    if (!Matches(expected, 0, o.out, 0)) {
      report += "  standard output differs\n" + FirstDifference(expected, o.out);
      report += "  expected:\n" + Visible(expected) + "  actual:\n" + Visible(o.out);
    }
  }
  for (const FileSpec& f : variant.expectFiles) {
    bool ok = false;
    std::string content = ReadFile(Place(f.name, work, drive), &ok);
    std::string expected = expander.Expand(f.content);
    if (!ok)
      report += "  file " + f.name + " was not written\n";
    else if (!Matches(expected, 0, content, 0)) {
      report += "  file " + f.name + " differs\n" + FirstDifference(expected, content);
      report += "  expected:\n" + Visible(expected) + "  actual:\n" + Visible(content);
    }
  }
  for (const std::string& name : c.absent) {
    if (access(Place(name, work, drive).c_str(), F_OK) == 0) report += "  " + name + " should not exist\n";
  }
  for (const std::string& name : c.present) {
    if (access(Place(name, work, drive).c_str(), F_OK) != 0) report += "  " + name + " should exist\n";
  }
  if (c.maxMs > 0 && options.timeLimits && !options.wine && o.ms > c.maxMs) {
    report += "  took " + std::to_string(o.ms) + " ms, more than " + std::to_string(c.maxMs) + " ms\n";
  }
  // Ending too early is wrong on every build and under Wine too.
  if (c.minMs > 0 && o.ms < c.minMs) {
    report += "  took " + std::to_string(o.ms) + " ms, less than " + std::to_string(c.minMs) + " ms\n";
  }
  if (o.exitCode >= 128) report += "  the program died from signal " + std::to_string(o.exitCode - 128) + "\n";
  if (o.exitCode == 127 || o.exitCode == 126) report += "  the program could not be started\n";
  const std::string form = ChosenForm(mode, args, c.files);
  const std::string document = ResultDocument(o.out, args, work);
  if (form != "Prometheus" && form != "Checkmk" && ZabbixForm(form, c.args, document)) {
    report += CheckZabbixDocument(document, options.wine ? WithoutWineLines(o.err) : o.err);
  } else if (form == "Prometheus") {
    if (options.checkMetrics) report += CheckMetricsDocument(document, scratch);
  } else if (form == "Checkmk") {
    report += CheckLocalCheckLines(document);
  } else if (options.checkXml && OutputIsXmlDocument(o.exitCode, form, c.args, document)) {
    report += CheckXmlDocument(WithoutConsoleLines(document), scratch);
  }
  // What the program said besides its output is often the only clue.
  if (!report.empty()) {
    report += StandardErrorReport(o);
    if (options.wine && o.err.find("wine client error") != std::string::npos)
      report += "  Wine lost its wineserver: keep one running for the prefix (wineserver -p)\n";
  }
  for (const char* name : kComparedFiles) {
    bool ok = false;
    std::string content = ReadFile(work + "/" + name, &ok);
    if (ok) record.files[name] = content;
  }

  for (const std::string& entry : driveEntries) RemoveTree(entry);
  if (!report.empty() && options.keep) report += "  kept: " + scratch + "\n";
  if (report.empty() || !options.keep) RemoveTree(scratch);
  return record;
}

std::string CompareRuns(const RunRecord& sideBySide, const RunRecord& oneByOne, const Variant& variant) {
  std::string report;
  const Outcome& a = sideBySide.outcome;
  const Outcome& b = oneByOne.outcome;
  if (a.exitCode != b.exitCode) {
    report += "  exit code " + std::to_string(a.exitCode) + ", with ,PARALLEL=1 " + std::to_string(b.exitCode) + "\n";
  }
  std::string expected = WithoutClock(a.out);
  std::string actual = WithoutClock(WithoutShownInjection(b.out, variant));
  if (expected != actual) {
    report += "  standard output differs from the run with ,PARALLEL=1\n" + FirstDifference(expected, actual);
  }
  for (const char* name : kComparedFiles) {
    auto x = sideBySide.files.find(name), y = oneByOne.files.find(name);
    const bool hasX = x != sideBySide.files.end(), hasY = y != oneByOne.files.end();
    if (hasX != hasY) {
      report += std::string("  ") + name + (hasX ? " was left only side by side\n" : " was left only one by one\n");
    } else if (hasX && WithoutClock(x->second) != WithoutClock(y->second)) {
      report += std::string("  ") + name + " differs from the run with ,PARALLEL=1\n" +
                FirstDifference(WithoutClock(y->second), WithoutClock(x->second));
    }
  }
  return report;
}

bool RunCase(const Options& options, const Case& c, const std::string& casesPath) {
  // As written: side by side wherever the road allows it.
  Variant asWritten;
  const bool sideBySide = true;  // both libraries measure side by side, in threads or in children
  asWritten.stdoutPattern = c.hasParallelStdout && sideBySide ? c.parallelStdoutPattern : c.stdoutPattern;
  asWritten.expectFiles = c.expectFiles;
  if (sideBySide) {
    // A file expected side by side replaces the one of the same name.
    for (const FileSpec& f : c.parallelExpectFiles) {
      bool replaced = false;
      for (FileSpec& g : asWritten.expectFiles) {
        if (g.name == f.name) {
          g = f;
          replaced = true;
        }
      }
      if (!replaced) asWritten.expectFiles.push_back(f);
    }
  }
  const bool differs = (c.hasParallelStdout || !c.parallelExpectFiles.empty()) && sideBySide;
  RunRecord first = RunVariant(options, c, asWritten);
  std::string report = first.report;
  long ms = first.outcome.ms;
  Variant oneByOne = OneByOneVariant(c);
  if (oneByOne.oneByOne) {
    RunRecord second = RunVariant(options, c, oneByOne);
    ms += second.outcome.ms;
    if (!second.report.empty()) report += "  with ,PARALLEL=1:\n" + second.report;
    std::string comparison = differs ? std::string() : CompareRuns(first, second, oneByOne);
    if (!comparison.empty()) {
      // The runs' own reports hold their standard error already.
      if (first.report.empty()) comparison += "  as written, " + StandardErrorReport(first.outcome).substr(2);
      if (second.report.empty()) comparison += "  with ,PARALLEL=1, " + StandardErrorReport(second.outcome).substr(2);
    }
    report += comparison;
  }
  bool passed = report.empty();
  std::cout << (passed ? "ok   " : "FAIL ") << casesPath << ":" << c.line << ": " << c.title << " (" << first.outcome.ms
            << " ms" << (oneByOne.oneByOne ? ", twice: " + std::to_string(ms) + " ms" : "") << ")\n";
  if (!passed) std::cout << report;
  return passed;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Die(a + " needs a value");
      return argv[++i];
    };
    if (a == "--fennick")
      options.fennick = value();
    else if (a == "--passwd")
      options.passwd = value();
    else if (a == "--cases")
      options.cases = value();
    else if (a == "--filter")
      options.filter = value();
    else if (a == "--wine-prefix")
      options.winePrefix = value();
    else if (a == "--wine")
      options.wine = true;
    else if (a == "--wine-command")
      options.wineCommand = value();
    else if (a == "--backend")
      options.backend = value();
    else if (a == "--keep")
      options.keep = true;
    else if (a == "--no-time-limits")
      options.timeLimits = false;
    else
      Die("unknown option " + a);
  }
  if (options.fennick.empty() || options.cases.empty()) Die("--fennick and --cases are required");
  if (options.wine && options.winePrefix.empty()) Die("--wine needs --wine-prefix");
  if (options.backend != "classic" && options.backend != "netweaver") Die("--backend is classic or netweaver");
  char* absolute = realpath(options.fennick.c_str(), nullptr);
  if (!absolute) Die("cannot find " + options.fennick);
  options.fennick = absolute;
  std::free(absolute);
  if (options.passwd.empty()) {
    // The native password tool sits beside the native probe.
    std::string dir = options.fennick.substr(0, options.fennick.rfind('/') + 1);
    options.passwd = dir + "fennick-passwd";
  }
  std::vector<Case> cases = ParseCases(options.cases);
  options.checkXml = OnPath("xmllint");
  if (!options.checkXml) std::cout << "xmllint not found: XML documents are not checked\n";
  options.checkMetrics = OnPath("promtool");
  if (!options.checkMetrics) std::cout << "promtool not found: Prometheus documents are not checked\n";
  options.fakeTimeLibrary = FindFakeTimeLibrary();
  int failed = 0, run = 0, withoutClock = 0;
  for (const Case& c : cases) {
    if (StartsWith(c.title, "@")) continue;  // a fixture, used by later cases
    if (c.nativeOnly && options.wine) continue;
    if (!c.fakeTime.empty() && options.wine) continue;
    if (!c.fakeTime.empty() && options.fakeTimeLibrary.empty()) {
      ++withoutClock;
      continue;
    }
    if (!c.onlyBackend.empty() && c.onlyBackend != options.backend) continue;
    if (!options.filter.empty() && c.title.find(options.filter) == std::string::npos) continue;
    ++run;
    if (!RunCase(options, c, options.cases)) ++failed;
  }
  if (withoutClock > 0) {
    std::cout << "libfaketime not found (Debian: faketime): " << withoutClock << " cases that set the clock left out\n";
  }
  std::cout << run - failed << " of " << run << " cases passed\n";
  return failed == 0 ? 0 : 1;
}
