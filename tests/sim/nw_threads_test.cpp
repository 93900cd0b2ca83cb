// Connections used from several threads at once, each by one thread, as a
// group run uses them: every system's answers stay its own, and the
// network delays of different connections overlap.
#include <chrono>
#include <thread>

#include "nw_test_support.h"

namespace nwtest {
namespace {

const int kSystems = 8;

std::string Landscape() {
  std::string text;
  for (int i = 0; i < kSystems; ++i) {
    std::string n = std::to_string(i);
    text += "[S" + n + "]\nashost = sap" + n + "\nsysnr = 00\ndelay_ms = 100\nclose_delay_ms = 300\n" +
            "tablespace = PSAPS" + n + " 1000 500 50\n";
  }
  return text;
}

// A text field of a container, or the call's failure.
std::string Read(NwContainer container, const char* field) {
  NwChar buffer[64];
  unsigned needed = 0;
  NwErrorInfo error;
  if (RfcGetString(container, U(field).data(), buffer, 64, &needed, &error) != NW_OK) return Text(error.message);
  return Text(buffer);
}

// The invoked function, or null with `failure` set.
NwFunction Invoke(NwConnection connection, const char* name, std::string& failure) {
  NwErrorInfo error;
  NwFunction function = RfcCreateFunction(RfcGetFunctionDesc(connection, U(name).data(), &error), &error);
  if (function && RfcInvoke(connection, function, &error) == NW_OK) return function;
  failure = name + (": " + Text(error.message));
  RfcDestroyFunction(function, nullptr);
  return nullptr;
}

// One system's whole road: open, system information, tablespace rows,
// close. What it read, or where it failed.
std::string Measure(int index) {
  NwErrorInfo error;
  NwConnection connection = Open(P("ASHOST=sap" + std::to_string(index) + " SYSNR=00"), &error);
  if (!connection) return "open: " + Text(error.message);
  std::string read;
  NwFunction info = Invoke(connection, "RFC_SYSTEM_INFO", read);
  NwFunction sizes = info ? Invoke(connection, "DB_ORA_CURRENT_SIZES", read) : nullptr;
  NwStructure rfcsi = nullptr;
  NwTable ts = nullptr;
  if (sizes && RfcGetStructure(info, U("RFCSI_EXPORT").data(), &rfcsi, &error) == NW_OK &&
      RfcGetTable(sizes, U("TS").data(), &ts, &error) == NW_OK)
    read = Read(rfcsi, "RFCSYSID") + " " + Read(ts, "TS");
  RfcDestroyFunction(info, nullptr);
  RfcDestroyFunction(sizes, nullptr);
  if (RfcCloseConnection(connection, &error) != NW_OK) return "close: " + Text(error.message);
  return read;
}

using NwThreads = NwTest;

TEST_F(NwThreads, EightSystemsTakeAboutAsLongAsOne) {
  Write(Landscape());
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Measure(0), "S0 PSAPS0");
  auto alone = std::chrono::steady_clock::now() - start;
  EXPECT_GE(alone, std::chrono::milliseconds(5 * 100 + 300));  // five remote steps and the close

  // A file changed since the last logon: the threads' first logons meet
  // while one of them reads it anew.
  Write(Landscape());
  std::vector<std::string> read(kSystems);
  std::vector<std::thread> workers;
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < kSystems; ++i) workers.emplace_back([&read, i] { read[i] = Measure(i); });
  for (std::thread& worker : workers) worker.join();
  auto together = std::chrono::steady_clock::now() - start;

  for (int i = 0; i < kSystems; ++i) {
    std::string n = std::to_string(i);
    EXPECT_EQ(read[i], "S" + n + " PSAPS" + n);
  }
  EXPECT_LT(together, 3 * alone) << "the delays waited one after the other";
}

}  // namespace
}  // namespace nwtest
