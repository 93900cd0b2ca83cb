// The one measuring road over a back end made of plain functions, and a
// group's plan: release order, hand back, the budget's cut-off. No library,
// no files, no processes.
#include "driver/group_plan.h"

#include <gtest/gtest.h>

#include <thread>

#include "driver/group_release.h"
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

// What a plan released, in order: "A" released, "A." its close in,
// "A~" cut off after it was read, "A?" cut off before.
struct Recorder : GroupReleaser {
  std::string log;
  bool Release(SystemOutcome& system, bool profileMissing) override {
    log += system.profileName + (profileMissing ? "!" : "") + " ";
    return true;
  }
  void Complete(SystemOutcome& system) override { log += system.profileName + ". "; }
  void CutOff(SystemOutcome& system, bool read, bool) override { log += system.profileName + (read ? "~ " : "? "); }
};

std::string Released(GroupPlan& plan, bool cutOff = false) {
  Recorder recorder;
  RunLock lock;
  EXPECT_TRUE(plan.Release(recorder, cutOff));
  return recorder.log;
}

TEST(GroupPlan, ListingOrderWhateverOrderTheSystemsFinishAndCloseAfterTheRelease) {
  GroupPlan plan({"A", "B", "C", "D"});
  for (size_t i = 0; i < 4; ++i) plan.Read(i, i == 3);
  plan.AllRead();
  SystemOutcome* a = plan.Take();
  SystemOutcome* b = plan.Take();
  SystemOutcome* c = plan.Take();
  EXPECT_EQ(plan.Take(), nullptr) << "D's profile is missing: nothing to take";
  plan.Measured(*c);
  plan.Closed(*c);
  EXPECT_EQ(Released(plan), "") << "C waits for A and B";
  plan.Measured(*a);
  EXPECT_EQ(Released(plan), "A ") << "A is out; B waits for A's close";
  plan.Measured(*b);
  plan.Closed(*b);
  EXPECT_EQ(Released(plan), "");
  plan.Closed(*a);
  EXPECT_EQ(Released(plan), "A. B B. C C. D! D. ");
  EXPECT_TRUE(plan.AllDone());
}

TEST(GroupPlan, AHandedBackSystemGoesToTheMainRoadFirst) {
  GroupPlan plan({"A", "B", "C"});
  for (size_t i = 0; i < 3; ++i) plan.Read(i, false);
  plan.AllRead();
  plan.WorkerStarting();
  plan.WorkerStarting();
  SystemOutcome* a = plan.Take();
  EXPECT_EQ(plan.TakeOnMainRoad(), nullptr) << "workers are busy and nothing is handed back";
  plan.HandBack(*a);
  EXPECT_EQ(plan.BusyWorkers(), 1);
  EXPECT_EQ(plan.TakeOnMainRoad(), a);
  bool measuring = false;
  EXPECT_EQ(plan.OnMainRoad(measuring), a);
  EXPECT_TRUE(measuring);
  EXPECT_EQ(plan.Take()->profileName, "B");
  EXPECT_EQ(plan.Take()->profileName, "C");
  EXPECT_EQ(plan.Take(), nullptr);
  EXPECT_EQ(plan.BusyWorkers(), 0) << "a worker that finds nothing stops";
  plan.OffMainRoad();
  EXPECT_EQ(plan.OnMainRoad(measuring), nullptr);
}

TEST(GroupPlan, TheBudgetReleasesWhatFinishedAndCutsOffTheRest) {
  GroupPlan plan({"A", "B", "C", "D", "E"});
  for (size_t i = 0; i < 4; ++i) plan.Read(i, false);  // E's profile not read yet
  SystemOutcome* a = plan.Take();
  SystemOutcome* b = plan.Take();
  SystemOutcome* c = plan.Take();
  SystemOutcome* d = plan.Take();
  plan.Measured(*b);
  plan.Closed(*b);
  plan.Measured(*d);  // its close hangs: not waited for
  plan.Measured(*c);
  plan.Closed(*c);
  (void)a;  // still measuring
  EXPECT_EQ(Released(plan, true), "A~ B B. C C. D E? ");
  EXPECT_TRUE(plan.AllDone());
  plan.Closed(*d);
  EXPECT_EQ(Released(plan), "") << "a close that comes after the cut-off writes nothing";
}

// Many workers take from one plan while the main road reads and releases:
// each system is measured once and released once, in listing order.
TEST(GroupPlan, WorkersSideBySideTakeEachSystemOnce) {
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) names.push_back("S" + std::to_string(i));
    GroupPlan plan(names);
    std::vector<int> taken(names.size());
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
      plan.WorkerStarting();
      workers.emplace_back([&plan, &taken] {
        while (SystemOutcome* system = plan.Take()) {
          ++taken[system->listIndex];
          plan.Measured(*system);
          plan.Closed(*system);
        }
      });
    }
    for (size_t i = 0; i < names.size(); ++i) plan.Read(i, i % 7 == 3);
    plan.AllRead();
    Recorder recorder;
    while (!plan.AllDone()) {
      const uint64_t seen = plan.Version();
      {
        RunLock lock;
        plan.Release(recorder, false);
      }
      if (!plan.AllDone()) plan.WaitForChange(seen);
    }
    for (std::thread& worker : workers) worker.join();
    std::string expected;
    for (size_t i = 0; i < names.size(); ++i) {
      const bool missing = i % 7 == 3;
      EXPECT_EQ(taken[i], missing ? 0 : 1) << names[i];
      expected += names[i] + (missing ? "! " : " ") + names[i] + ". ";
    }
    ASSERT_EQ(recorder.log, expected) << "round " << round;
    EXPECT_EQ(plan.BusyWorkers(), 0);
  }
}

// The same release through the group's output: the channels and the
// summary the budget's end writes.
TEST(GroupRelease, TheBudgetsEndWritesWhatFinishedAndTheSummary) {
  Script script;
  RunState rs;
  rs.rfc = Backend(script);
  rs.run.itemName = "PSAPSR3";
  GroupRun g(rs, {"A", "B", "C", "D"});
  for (size_t i = 0; i < 4; ++i) {
    g.plan.System(i).systemLabel = g.plan.System(i).profileName;
    g.plan.Read(i, false);
  }
  std::vector<SystemOutcome*> taken;
  for (size_t i = 0; i < 4; ++i) taken.push_back(g.plan.Take());
  for (size_t i : {1, 3}) {
    taken[i]->end = SystemEnd::Measured;
    taken[i]->rows = {
        Tablespace("PSAPSR3", 1000, 100 * static_cast<int64_t>(i + 1), 90 - 10 * static_cast<int32_t>(i))};
    g.plan.Measured(*taken[i]);
  }
  g.plan.Closed(*taken[1]);  // D's close hangs
  testing::internal::CaptureStdout();
  {
    RunLock lock;
    g.out.documentOpen = true;
    EXPECT_TRUE(ReleaseDueLocked(g, true));
    WriteSummaryLocked(g, " (Timeout after 5 s)", true);
    FlushStandardOutputLocked();
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\n<Result><Channel>B</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>%</CustomUnit>\n<Value>20</Value>"
            "</Result>\n\n<Result><Channel>D</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>%</CustomUnit>\n<Value>40"
            "</Value></Result>\n\n<Result><Channel>Unmeasured systems</Channel>\n<Unit>Count</Unit>\n<Value>2</Value>\n"
            "<LimitMode>1</LimitMode>\n<LimitMaxWarning>0</LimitMaxWarning></Result>\n"
            "\n<Text>(***) PSAPSR3: NoSystems=4, Processed=2, Failed=2 (Timeout after 5 s)"
            " - unmeasured: A (Timeout), C (Timeout)</Text>\n\n</Prtg>\n\n");
}

}  // namespace
}  // namespace fennick
