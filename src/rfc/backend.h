// What a run asks of an RFC library. Each library is a back end that fills
// this table of operations with its own; the driver holds the one chosen at
// start and never asks which it is. A step that a back end does not need
// does nothing there.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "profile/failure.h"
#include "profile/system_entry.h"
#include "rfc/tablespace_row.h"

namespace fennick {

// A logon: the connection entry and the overrides from the parameters.
struct LogonRequest {
  SystemEntry entry;
  std::optional<std::string> hostOverride;   // ",HOST="
  std::optional<std::string> sysnrOverride;  // ",NO="
  bool consoleReport = false;                // shows the parameter file it uses
  std::string profileDirectory;              // native; the parameter file's second place
};

// The destination's parameter file "SapRfc.<destination>": in the working
// folder, else in the profile's folder. Null when neither has it.
FilePtr OpenParameterFile(const LogonRequest& request);

// A remote step's result in the numbering the result messages use:
// 0 success, 1 failure, 2 exception (with its name), 3 system exception,
// anything else another failure.
struct StepResult {
  int code = 0;
  std::string exception;
};

// The failure for a step's result: "Error 1012: Exception.: NAME" and so
// on, with `reason` appended; for success an empty message.
RunFailure ResultFailure(const StepResult& result, const std::string& reason);

// A connection as the back end counts it; 0 is none.
using RfcConnectionId = uintptr_t;

// One step of the library for the trace: on the system's connection (the
// trace shows its number) or before there is one (0).
struct RfcStep {
  bool onConnection = false;
  std::string message;
  std::string detail;
};

// What one system's RFC work leaves besides its results. Only the thread
// that measures the system uses it, but the steps and console lines are
// also read by the time budget's end, so they are added under the run's
// lock (NoteStep, NoteConsoleLine); the driver writes them out.
struct RfcWork {
  std::vector<RfcStep> steps;
  std::vector<std::string> consoleLines;
  // The library's own words for the last failure, where it hands them over
  // with the failure: " - " and its text, or empty.
  std::string failureSuffix;
  // Told of each step and console line as soon as it is noted, under the
  // same lock (a measuring child passes them on to its parent); optional.
  void (*noted)(void* context, const RfcWork& work) = nullptr;
  void* notedContext = nullptr;
};

// What a library wrote to its own files in the run's private workspace,
// for the working folder: its trace lines by file name, and the parameter
// file it was given.
struct LibraryFiles {
  std::vector<std::pair<std::string, std::string>> traces;
  std::optional<std::string> parameterCopy;

  bool Empty() const { return traces.empty() && !parameterCopy; }
  // Adds what `later` holds: trace lines after these, a newer parameter file.
  void Add(const LibraryFiles& later);
};

void NoteStep(RfcWork& work, bool onConnection, const std::string& message, const std::string& detail);
void NoteConsoleLine(RfcWork& work, const std::string& line);

// One back end's operations; each back end defines one constant instance,
// filled slot by slot with each slot's name, so that a slot added here can
// never shift another.
struct RfcBackendOps {
  const char* name = "";  // "classic" or "netweaver": a child binds its back end by it
  // Whether several connections may be used at once from several threads,
  // each by one thread.
  bool threadSafe = false;
  // Points the library at a workspace of this process's own for its files
  // (its parameter copy, its trace), so that runs side by side in one
  // folder never read each other's; `where` is its directory (empty for a
  // library that keeps no files). False with the reason when none can be
  // made: the library then keeps its files in the working folder.
  bool (*openWorkspace)(void* state, std::string& where, std::string& why) = nullptr;
  // What the library wrote in the workspace since the last call.
  LibraryFiles (*takeFiles)(void* state) = nullptr;
  // Adds files to the working folder (or where the user pointed the
  // library), whole, beside runs doing the same; what could not be written,
  // one line each ("FILE: not written (reason)").
  std::vector<std::string> (*publishFiles)(void* state, const LibraryFiles& files) = nullptr;
  // Removes the workspace and what is in it.
  void (*closeWorkspace)(void* state) = nullptr;
  // Installs the library's environment before a logon; in a single-profile
  // run the step is traced.
  void (*prepare)(void* state, RfcWork& work, bool traced) = nullptr;
  RfcConnectionId (*logOn)(void* state, const LogonRequest& request, RfcWork& work) = nullptr;
  // What follows "Error 1011: RFC-Open for DEST failed !" after a failed
  // logon: " - " and the reason, or empty where there is none.
  std::string (*logonFailureText)(void* state, const RfcWork& work) = nullptr;
  // RFC_SYSTEM_INFO: the database system on success.
  StepResult (*systemInfo)(void* state, RfcConnectionId connection, RfcWork& work,
                           std::string& databaseSystem) = nullptr;
  // DB_ORA_CURRENT_SIZES: the rows on success, in the order the system sent them.
  StepResult (*tablespaceRows)(void* state, RfcConnectionId connection, RfcWork& work,
                               std::vector<TablespaceRow>& rows) = nullptr;
  void (*close)(void* state, RfcConnectionId connection, RfcWork& work) = nullptr;
  // What follows a failed step's message in the error document: " - " and
  // the library's text, or a hint where it names no reason (`known` false).
  std::string (*failureText)(void* state, const RfcWork& work, bool& known) = nullptr;
  // The library's trace files in the working folder, removed after a
  // successful single-profile run.
  std::vector<std::string> (*traceFiles)() = nullptr;
};

// The back end a run holds: its operations and its own state (the bound
// library and records).
struct RfcBackend {
  const RfcBackendOps* ops = nullptr;
  std::shared_ptr<void> state;
};

}  // namespace fennick
