// The landscape described by sapsim.ini, as plain structs, and the reader
// that turns the file's text into it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rfcsim {

// A tablespace size: a number, or the raw 8 bytes of the packed field
// (written `x` and 16 hex digits) so that invalid packed values can be sent.
struct SizeValue {
  int64_t number = 0;
  bool raw = false;
  std::string rawBytes;  // 8 bytes when raw
};

struct Tablespace {
  std::string name;
  SizeValue size;
  SizeValue free;
  int32_t pctUsed = 0;
  // TSAU as written, so that a value that is no number can be sent too;
  // empty: a blank field.
  std::string autoMax;
  std::string status = "ONLINE";
  // "growth=KB" at the end of the line: used KB grow by this much each
  // whole day since the system's start (a negative value shrinks them).
  std::optional<int64_t> growthKb;
};

// The widths of the TSAU and STATUS fields: a longer value in sapsim.ini is
// refused rather than cut into another one.
constexpr size_t kAutoMaxLength = 14;
constexpr size_t kStatusLength = 9;

enum class FaultKind { Logon, Call, Receive, Handler, Install, ItCreate, ItGetLine, ItDelete };

struct Fault {
  FaultKind kind = FaultKind::Logon;
  std::string target;  // function, operation or structure name
  int32_t code = 0;
  std::string exception;
};

struct LastErrorText {
  std::string key;
  std::string status;
  std::string message;
  std::string internalStatus;
};

struct SystemConfig {
  std::string sid;
  std::string ashost;  // empty: not reachable by host
  std::optional<int32_t> sysnr;
  std::string gwhost;  // empty: not reachable by gateway
  std::string gwserv;
  std::string mshost;  // empty: not reachable through a message server
  std::string client;
  std::string user;
  std::string passwd;
  std::string dbsys = "ORACLE";
  std::vector<Tablespace> tablespaces;
  std::vector<Fault> faults;
  std::optional<LastErrorText> lastError;
  std::vector<std::string> trace;
  int32_t delayMs = 0;
  int32_t closeDelayMs = 0;  // a close that hangs
  // "start = YYYY-MM-DD": the day growth counts from, in days since
  // 1970-01-01 (UTC).
  std::optional<int64_t> startDay;
  // NetWeaver library only: CHAR fields of another width than the usual
  // one, by field name (TS, RFCDBSYS).
  std::map<std::string, int32_t> fieldWidths;
};

struct SimConfig {
  std::vector<SystemConfig> systems;
};

struct ConfigResult {
  bool ok = false;
  SimConfig config;
  int errorLine = 0;  // from 1
  std::string error;
};

constexpr int32_t kMaxDelayMs = 60000;
constexpr int32_t kMaxFieldWidth = 255;

ConfigResult ParseSimConfig(const std::string& text);

// "sapsim.ini line 7: unknown key 'ashots'"
std::string ConfigErrorText(const ConfigResult& result);

// The system's fault of that kind and target, or null.
const Fault* FindFault(const SystemConfig& system, FaultKind kind, const std::string& target);

}  // namespace rfcsim
