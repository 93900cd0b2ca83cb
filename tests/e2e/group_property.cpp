// A randomized check of group runs side by side: seeded random landscapes
// of 1 to 64 systems with a mix of delays, refused logons, call faults,
// missing profiles, incomplete entries, items not found and parameter
// files. Every landscape runs once with ",PARALLEL=1" and once with another
// width; standard output (but for the clock), the exit code, Fennick.Log,
// Dev_Rfc.Trc and SapRfc.ini must be the same.
//
// Usage: group_property --fennick PATH --backend classic|netweaver
//                       [--seed N] [--count N] [--keep]
//
// A failure names the seed that makes its landscape again.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "profile/password.h"
#include "without_clock.h"

namespace {

struct Options {
  std::string fennick;
  std::string backend = "netweaver";
  unsigned seed = 1;
  int count = 20;
  bool keep = false;
};

[[noreturn]] void Die(const std::string& message) {
  std::cerr << "group_property: " << message << "\n";
  std::exit(2);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) Die("cannot write " + path);
  out << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return in ? out.str() : "(none)";
}

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string log;
  std::string trace;
  std::string parameterCopy;
};

Outcome Run(const std::string& program, const std::vector<std::string>& args, const std::string& dir) {
  for (const char* name : {"Fennick.Log", "Dev_Rfc.Trc", "SapRfc.ini"}) std::remove((dir + "/" + name).c_str());
  const std::string outPath = dir + "/../stdout";
  pid_t pid = fork();
  if (pid < 0) Die("fork failed");
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int null = open("/dev/null", O_RDWR);
    if (out < 0 || null < 0 || chdir(dir.c_str()) != 0) _exit(126);
    dup2(null, 0);
    dup2(out, 1);
    dup2(null, 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  Outcome o;
  int status = 0;
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  o.out = ReadFile(outPath);
  o.log = ReadFile(dir + "/Fennick.Log");
  o.trace = ReadFile(dir + "/Dev_Rfc.Trc");
  o.parameterCopy = ReadFile(dir + "/SapRfc.ini");
  return o;
}

// Two runs differ in the clock and in the keyword in the console's
// parameter line.
std::string Comparable(std::string text, const std::string& keyword) {
  for (size_t at = keyword.empty() ? std::string::npos : text.find(keyword); at != std::string::npos;
       at = text.find(keyword, at)) {
    text.erase(at, keyword.size());
  }
  return WithoutClock(text);
}

struct Landscape {
  std::string parameters;
  int parallel = 8;
};

// One random landscape in `dir`: sapsim.ini, the profiles, Vireo.Prf and
// Fennick.Ini. Returns the run's parameters.
Landscape MakeLandscape(std::mt19937& rng, const std::string& dir, const Options& options, bool large) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const fennick::PasswordKey key = fennick::BuildPasswordKey();
  const bool classic = options.backend == "classic";
  // Every fourth landscape is a large group: 16 to 64 systems.
  const int systems = large ? 16 + pick(49) : 1 + pick(20);
  std::string ini, listing;
  for (int i = 0; i < systems; ++i) {
    const std::string sid = "S" + std::to_string(i);
    const std::string host = "h" + std::to_string(i);
    const std::string sysnr = std::to_string(10 + i % 90);
    listing += sid + ".P00#";
    if (pick(20) == 0) continue;  // a listed profile that does not exist
    ini += "[" + sid + "]\nashost = " + host + "\nsysnr = " + sysnr + "\nclient = 100\nuser = MONITOR\n";
    ini += "passwd = Secret1\n";
    if (pick(3) == 0) ini += "delay_ms = " + std::to_string(pick(12)) + "\n";
    switch (pick(26)) {
      case 0: ini += "fault = logon\n"; break;
      case 1: ini += "fault = call RFC_SYSTEM_INFO 1\n"; break;
      case 2: ini += "fault = receive RFC_SYSTEM_INFO 2 NOT_AUTHORIZED\n"; break;
      case 3: ini += "fault = receive DB_ORA_CURRENT_SIZES 3\n"; break;
      case 4: ini += "fault = call DB_ORA_CURRENT_SIZES 7\n"; break;
      case 5:
        if (pick(4) == 0) ini += "dbsys = MSSQL\n";  // ends the whole run
        break;
      case 6:
        if (classic && pick(3) == 0) ini += "fault = itdelete\n";  // the library's handler ends the run
        break;
      case 7:
        if (classic && pick(3) == 0) ini += "fault = handler RfcReceive\n";
        break;
      case 8:
        if (classic && pick(3) == 0) ini += pick(2) == 0 ? "fault = itcreate\n" : "fault = itgetline\n";
        break;
      default: break;
    }
    if (pick(6) != 0)
      ini += "tablespace = PSAPSR3 " + std::to_string(1000 + pick(900000)) + " 500 " + std::to_string(pick(100)) + "\n";
    if (pick(2) == 0) ini += "tablespace = SYSTEM 4000 1000 75\n";
    std::string entry = "Extcompany.: ACME\nDestination: D" + std::to_string(i) + "X\n";
    entry += pick(15) == 0 ? "Client.....: 1\n" : "Client.....: 100\n";  // 1: an incomplete entry
    entry += "User.......: monitor\nPassword...: " + *fennick::ScramblePassword("Secret1", key, rng()) + "\n";
    entry += "Language...: E\nMode.......: R/3\nHostname...: " + host + "\nSysnr......: " + sysnr + "\n";
    entry += "Gwhost.....: gw\nGwservice..: sapgw00\n";
    WriteFile(dir + "/" + sid + ".P00", entry);
    if (pick(8) == 0) {
      WriteFile(dir + "/SapRfc.D" + std::to_string(i) + "X",
                "DEST=D" + std::to_string(i) + "X\nTYPE=A\nASHOST=" + host + "\nSYSNR=" + sysnr + "\n");
    }
  }
  WriteFile(dir + "/sapsim.ini", ini);
  WriteFile(dir + "/Vireo.Prf", "# Gsng: PSAPSR3     " + listing + "\n");
  const char* modes[] = {"EXEXML", "EXEXML", "Lumenox", "Quimbel", "Corvatel", "Tessary"};
  WriteFile(dir + "/Fennick.Ini",
            "Outputmode.: " + std::string(modes[pick(6)]) + "\nRfclibrary.: " + options.backend + "\n");
  Landscape landscape;
  landscape.parameters = "ITEM=PSAPSR3";
  if (pick(2) == 0) landscape.parameters += ",SYSLOG";
  if (pick(3) == 0) landscape.parameters += ",MEGABYTE";
  if (pick(3) == 0) landscape.parameters += ",WARN=50,ERROR=10";
  if (pick(2) == 0) landscape.parameters += " #";
  landscape.parallel = 2 + pick(63);
  return landscape;
}

std::string Difference(const std::string& what, const std::string& one, const std::string& other) {
  if (one == other) return "";
  return "  " + what + " differs\n  --- with ,PARALLEL=1:\n" + one + "\n  --- side by side:\n" + other + "\n";
}

bool Check(const Options& options, unsigned seed) {
  std::mt19937 rng(seed);
  char pattern[] = "/tmp/fennick-group-XXXXXX";
  if (!mkdtemp(pattern)) Die("cannot make a temporary directory");
  const std::string scratch = pattern;
  const std::string dir = scratch + "/work";
  mkdir(dir.c_str(), 0755);
  Landscape landscape = MakeLandscape(rng, dir, options, seed % 4 == 0);
  const std::string wide = ",PARALLEL=" + std::to_string(landscape.parallel);
  Outcome one = Run(options.fennick, {"x", landscape.parameters + ",PARALLEL=1"}, dir);
  Outcome other = Run(options.fennick, {"x", landscape.parameters + wide}, dir);
  std::string report;
  if (one.exitCode != other.exitCode) {
    report += "  exit code " + std::to_string(one.exitCode) + " one by one, " + std::to_string(other.exitCode) +
              " side by side\n";
  }
  if (one.exitCode >= 126) report += "  the run died or was killed (" + std::to_string(one.exitCode) + ")\n";
  report += Difference("standard output", Comparable(one.out, ",PARALLEL=1"), Comparable(other.out, wide));
  report += Difference("Fennick.Log", one.log, other.log);
  report += Difference("Dev_Rfc.Trc", Comparable(one.trace, ""), Comparable(other.trace, ""));
  report += Difference("SapRfc.ini", one.parameterCopy, other.parameterCopy);
  if (!report.empty()) {
    std::cout << "FAIL seed " << seed << " (" << landscape.parameters << wide << ")\n" << report;
    if (options.keep) std::cout << "  kept: " << dir << "\n";
  }
  if (report.empty() || !options.keep) std::system(("rm -rf '" + scratch + "'").c_str());
  return report.empty();
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
    else if (a == "--backend")
      options.backend = value();
    else if (a == "--seed")
      options.seed = static_cast<unsigned>(std::stoul(value()));
    else if (a == "--count")
      options.count = std::stoi(value());
    else if (a == "--keep")
      options.keep = true;
    else
      Die("unknown option " + a);
  }
  if (options.fennick.empty()) Die("--fennick is required");
  char* absolute = realpath(options.fennick.c_str(), nullptr);
  if (!absolute) Die("cannot find " + options.fennick);
  options.fennick = absolute;
  std::free(absolute);
  int failed = 0;
  for (int i = 0; i < options.count; ++i) {
    if (!Check(options, options.seed + static_cast<unsigned>(i))) ++failed;
  }
  std::cout << options.count - failed << " of " << options.count << " landscapes alike side by side ("
            << options.backend << ", seeds " << options.seed << " to " << options.seed + options.count - 1 << ")\n";
  return failed == 0 ? 0 : 1;
}
