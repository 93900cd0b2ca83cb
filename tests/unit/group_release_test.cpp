// The one measuring road and a group's release order, over a back end made
// of plain functions: no library, no files, no processes.
#include "driver/group_release.h"

#include <gtest/gtest.h>

#include "driver/group_run.h"
#include "driver/measure.h"
#include "driver/run_state.h"
#include "platform/run_lock.h"
#include "platform/standard_output.h"

namespace fennick {
namespace {

// What the fake library answers, step by step.
struct Script {
  RfcConnectionId connection = 7;
  StepResult info;
  std::string databaseSystem = "ORACLE";
  StepResult rows;
  std::vector<TablespaceRow> table;
  int closes = 0;
};

TablespaceRow Tablespace(const std::string& name, int64_t size, int64_t free, int32_t pctUsed) {
  TablespaceRow row;
  row.name = name;
  row.sizeKb = size;
  row.freeKb = free;
  row.pctUsed = pctUsed;
  return row;
}

Script& S(void* state) { return *static_cast<Script*>(state); }

bool Open(void*, std::string&, std::string&) { return true; }
LibraryFiles Take(void*) { return LibraryFiles(); }
std::vector<std::string> Publish(void*, const LibraryFiles&) { return {}; }
void CloseWorkspace(void*) {}
void Prepare(void*, RfcWork&, bool) {}
RfcConnectionId LogOn(void* state, const LogonRequest&, RfcWork& work) {
  NoteStep(work, S(state).connection != 0, "logon", "");
  return S(state).connection;
}
std::string LogonText(void*, const RfcWork&) { return " - partner not reached"; }
StepResult Info(void* state, RfcConnectionId, RfcWork&, std::string& databaseSystem) {
  databaseSystem = S(state).databaseSystem;
  return S(state).info;
}
StepResult Rows(void* state, RfcConnectionId, RfcWork&, std::vector<TablespaceRow>& rows) {
  rows = S(state).table;
  return S(state).rows;
}
void Close(void* state, RfcConnectionId, RfcWork&) { ++S(state).closes; }
std::string FailureText(void*, const RfcWork&, bool& known) {
  known = true;
  return " - connection broken";
}
std::vector<std::string> TraceFiles() { return {}; }

RfcBackendOps ScriptedOps() {
  RfcBackendOps ops;
  ops.name = "scripted";
  ops.threadSafe = true;
  ops.openWorkspace = Open;
  ops.takeFiles = Take;
  ops.publishFiles = Publish;
  ops.closeWorkspace = CloseWorkspace;
  ops.prepare = Prepare;
  ops.logOn = LogOn;
  ops.logonFailureText = LogonText;
  ops.systemInfo = Info;
  ops.tablespaceRows = Rows;
  ops.close = Close;
  ops.failureText = FailureText;
  ops.traceFiles = TraceFiles;
  return ops;
}

const RfcBackendOps kScripted = ScriptedOps();

Script Scripted(RfcConnectionId connection, StepResult info = StepResult(),
                const std::string& databaseSystem = "ORACLE", StepResult rows = StepResult(),
                std::vector<TablespaceRow> table = {}) {
  Script script;
  script.connection = connection;
  script.info = info;
  script.databaseSystem = databaseSystem;
  script.rows = rows;
  script.table = table;
  return script;
}

RfcBackend Backend(Script& script) {
  RfcBackend backend;
  backend.ops = &kScripted;
  backend.state = std::shared_ptr<void>(&script, [](void*) {});
  return backend;
}

TEST(OneRoad, EveryEndAndTheErrorItReports) {
  struct Row {
    const char* what;
    Script script;
    SystemEnd end;
    const char* failure;
  } rows[] = {
      {"logon refused", Scripted(0), SystemEnd::LogonFailed,
       "Error 1011: RFC-Open for PRD failed ! - partner not reached"},
      {"information call", Scripted(7, {1, ""}), SystemEnd::InfoFailed,
       "Error 1014: RFC-Failure raised ! - connection broken"},
      {"not Oracle", Scripted(7, {}, "MSSQL"), SystemEnd::NotOracle, "Error 1018: DataBase mismatch !"},
      {"row call", Scripted(7, {}, "ORACLE", {2, "NO_TS"}), SystemEnd::RowsFailed,
       "Error 1012: Exception.: NO_TS - connection broken"},
      {"measured", Scripted(7, {}, "ORACLE", {}, {Tablespace("PSAPSR3", 100, 20, 80)}), SystemEnd::Measured, ""},
  };
  for (Row& row : rows) {
    SystemOutcome system;
    system.request.entry.destination = "PRD";
    RfcBackend rfc = Backend(row.script);
    MeasureSystem(rfc, system, false);
    EXPECT_EQ(system.end, row.end) << row.what;
    EXPECT_EQ(OutcomeFailure(system).message, row.failure) << row.what;
    EXPECT_EQ(system.rows.size(), row.end == SystemEnd::Measured ? 1u : 0u) << row.what;
    CloseSystem(rfc, system);
    EXPECT_EQ(row.script.closes, 1) << row.what;
  }
}

// A group of four whose systems finish in another order than listed.
struct Group {
  Script script;
  RunState rs;
  GroupRun g{rs};

  Group() {
    rs.rfc = Backend(script);
    rs.run.itemName = "PSAPSR3";
    for (const char* name : {"A", "B", "C", "D"}) {
      g.systems.push_back(std::make_unique<SystemOutcome>());
      g.systems.back()->profileName = name;
      g.systems.back()->systemLabel = name;
      g.systems.back()->stage = SystemStage::Waiting;
    }
  }

  void Measure(size_t i, int64_t free, bool closed = true) {
    SystemOutcome& s = *g.systems[i];
    s.end = SystemEnd::Measured;
    s.rows = {Tablespace("PSAPSR3", 1000, free, 100 - static_cast<int32_t>(free / 10))};
    s.stage = SystemStage::Measured;
    s.closed = closed;
  }

  std::string Advance(bool cutOff) {
    testing::internal::CaptureStdout();
    {
      RunLock lock;
      EXPECT_TRUE(AdvanceLocked(g, cutOff));
      if (cutOff) WriteSummaryLocked(g, " (Timeout after 5 s)", true);
      FlushStandardOutputLocked();
    }
    return testing::internal::GetCapturedStdout();
  }
};

std::string Channel(const std::string& label, int value) {
  return "\n<Result><Channel>" + label + "</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>%</CustomUnit>\n<Value>" +
         std::to_string(value) + "</Value></Result>\n";
}

TEST(GroupRelease, ListingOrderWhateverOrderTheSystemsFinish) {
  Group group;
  group.Measure(2, 300);
  EXPECT_EQ(group.Advance(false), "") << "C waits for A and B";
  group.Measure(0, 100, false);
  EXPECT_EQ(group.Advance(false), Channel("A", 10)) << "A is out; B waits for A's close";
  group.Measure(1, 200);
  EXPECT_EQ(group.Advance(false), "");
  group.g.systems[0]->closed = true;
  EXPECT_EQ(group.Advance(false), Channel("B", 20) + Channel("C", 30));
  EXPECT_EQ(group.g.nextToAdvance, 3u);
  EXPECT_EQ(group.g.processed, 3u);
}

TEST(GroupRelease, TheBudgetReleasesWhatFinishedAndCutsOffTheRest) {
  Group group;
  group.g.documentOpen = true;
  group.Measure(1, 200);
  group.g.systems[0]->stage = SystemStage::Measuring;
  group.Measure(3, 400, false);  // its close hangs: not waited for
  EXPECT_EQ(group.Advance(true), Channel("B", 20) + Channel("D", 40) +
                                     "\n<Result><Channel>Unmeasured systems</Channel>\n<Unit>Count</Unit>\n"
                                     "<Value>2</Value>\n<LimitMode>1</LimitMode>\n<LimitMaxWarning>0</LimitMaxWarning>"
                                     "</Result>\n"
                                     "\n<Text>(***) PSAPSR3: NoSystems=4, Processed=2, Failed=2 (Timeout after 5 s)"
                                     " - unmeasured: A (Timeout), C (Timeout)</Text>\n\n</Prtg>\n\n");
  EXPECT_TRUE(AllDoneLocked(group.g));
}

}  // namespace
}  // namespace fennick
