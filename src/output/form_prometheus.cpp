// The Prometheus form: the text exposition format 0.0.4, as the textfile
// collectors of node_exporter and windows_exporter read it. Every metric is
// a gauge and all samples of a metric stand together, so the run is
// gathered and written whole at its end. Sizes are bytes, and limits and
// units change nothing: Prometheus' own rules judge the figures.
#include <cstdio>
#include <limits>

#include "output/form_parts.h"
#include "output/tablespace_evaluation.h"
#include "output/unique_names.h"
#include "output/xml_text.h"
#include "platform/clock.h"

namespace fennick {

namespace {

enum Metric { kUp, kErrorInfo, kSize, kFree, kMaxSize, kOnline, kDuration, kMetricCount };

struct MetricText {
  const char* name;
  const char* help;  // the same in every document: exporters merge the files they read
};

// In the order the document writes them.
const MetricText kMetrics[kMetricCount] = {
    {"fennick_up", "Whether Fennick measured the SAP system: 1 measured, 0 not."},
    {"fennick_error_info", "Why Fennick did not measure the SAP system: the number and message of its error."},
    {"fennick_tablespace_size_bytes", "Current size of the Oracle tablespace in bytes."},
    {"fennick_tablespace_free_bytes", "Free space in the Oracle tablespace in bytes."},
    {"fennick_tablespace_max_size_bytes",
     "Size the Oracle tablespace may grow to in bytes: its autoextend maximum, else its size."},
    {"fennick_tablespace_online", "Whether the Oracle tablespace is online: 1 online, 0 not."},
    {"fennick_run_duration_seconds", "Seconds the Fennick run took."},
};

const char kOnlineStatus[] = "ONLINE";

struct Document {
  std::vector<std::string> samples[kMetricCount];  // "{labels} value" each
  UniqueNames systems;
  UniqueNames tablespaces;
};

// Label values are valid UTF-8 with the backslash, the double quote and
// the line end escaped.
std::string Label(const char* name, const std::string& value) {
  std::string out = std::string(name) + "=\"";
  for (char c : XmlCharacters(value)) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '"')
      out += "\\\"";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out + "\"";
}

void Add(Document& d, Metric metric, const std::string& labels, const std::string& value) {
  d.samples[metric].push_back("{" + labels + "} " + value);
}

// Kilobytes as the rows give them, in bytes; rows from anywhere must not
// overflow.
int64_t Bytes(int64_t kb) {
  const int64_t most = std::numeric_limits<int64_t>::max() / 1024;
  if (kb > most) return std::numeric_limits<int64_t>::max();
  if (kb < -most) return std::numeric_limits<int64_t>::min();
  return kb * 1024;
}

void AddSystem(Document& d, const std::string& system, bool up) {
  Add(d, kUp, Label("system", system), up ? "1" : "0");
}

void AddError(Document& d, const std::string& system, int number, const std::string& message) {
  const std::string numberText = number > 0 ? std::to_string(number) : std::string();
  Add(d, kErrorInfo, Label("system", system) + "," + Label("number", numberText) + "," + Label("message", message),
      "1");
}

void AddTablespace(Document& d, const std::string& system, const TablespaceRow& row) {
  // A system that names a tablespace twice still gives each sample once.
  const std::string name = TakeUniqueName(d.tablespaces, system + '\n' + row.name, "").substr(system.size() + 1);
  const std::string labels = Label("system", system) + "," + Label("tablespace", name);
  const std::optional<int64_t> maximum = AutoextendMaximum(row);
  Add(d, kSize, labels, std::to_string(Bytes(row.sizeKb)));
  Add(d, kFree, labels, std::to_string(Bytes(row.freeKb)));
  Add(d, kMaxSize, labels, std::to_string(Bytes(maximum ? *maximum : row.sizeKb)));
  // A system that reports no status at all says nothing against its tablespaces.
  const bool online = row.status.empty() || row.status == kOnlineStatus;
  Add(d, kOnline, labels, online ? "1" : "0");
}

// A single-profile run's tablespaces, all of its one system.
void AddSingleSystem(Document& d, const ResultWriter& w) {
  const std::string system = TakeUniqueName(d.systems, w.systemLabel, "");
  AddSystem(d, system, true);
  for (const GatheredEntry& entry : w.gathered.entries) {
    if (entry.tablespace) AddTablespace(d, system, *entry.tablespace);
  }
}

// An item run's systems in listing order: each with its channel's
// tablespace, or with the reason it gave none.
void AddListedSystems(Document& d, const ResultWriter& w) {
  const ChannelOut* previous = nullptr;
  std::string system;
  for (const GatheredEntry& entry : w.gathered.entries) {
    if (entry.channel) {
      // A system's channels come one after the other.
      if (!previous || previous->profile != entry.channel->profile || previous->name != entry.channel->name) {
        system = TakeUniqueName(d.systems, entry.channel->name, entry.channel->profile);
        AddSystem(d, system, true);
      }
      if (entry.tablespace) AddTablespace(d, system, *entry.tablespace);
      previous = &*entry.channel;
      continue;
    }
    previous = nullptr;
    const UnmeasuredSystem& listed = *entry.system;
    const std::string name = TakeUniqueName(d.systems, listed.label, listed.profile);
    AddSystem(d, name, listed.measured);
    if (listed.measured) continue;
    if (listed.failure) {
      AddError(d, name, listed.failure->number, listed.failure->message);
    } else {
      AddError(d, name, 0, listed.state + (listed.reason.empty() ? "" : " - " + listed.reason));
    }
  }
}

std::string DurationSeconds(const ResultWriter& w) {
  const int64_t milliseconds = MonotonicMilliseconds() - w.startMilliseconds;
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(milliseconds < 0 ? 0 : milliseconds) / 1000.0);
  return text;
}

// The run's duration, named so that the files of runs side by side in one
// folder never give the same series twice.
std::string Render(Document& d, const ResultWriter& w) {
  Add(d, kDuration, w.itemRun ? Label("item", w.itemName) : Label("system", w.systemLabel), DurationSeconds(w));
  std::string out;
  for (int metric = 0; metric < kMetricCount; ++metric) {
    if (d.samples[metric].empty()) continue;
    const char* name = kMetrics[metric].name;
    out += std::string("# HELP ") + name + " " + kMetrics[metric].help + "\n";
    out += std::string("# TYPE ") + name + " gauge\n";
    for (const std::string& sample : d.samples[metric]) out += name + sample + "\n";
  }
  return out;
}

std::string RenderResult(const ResultWriter& w) {
  Document d;
  if (w.itemRun) {
    AddListedSystems(d, w);
  } else {
    AddSingleSystem(d, w);
  }
  return Render(d, w);
}

// An error: a single-profile run's system was not measured; an item run
// keeps the systems released before it, and the error is the run's own.
std::string RenderError(const ResultWriter& w, int number, const std::string& message) {
  Document d;
  if (w.itemRun) {
    AddListedSystems(d, w);
    AddError(d, TakeUniqueName(d.systems, "", ""), number, message);
  } else {
    const std::string system = TakeUniqueName(d.systems, w.systemLabel, "");
    AddSystem(d, system, false);
    AddError(d, system, number, message);
  }
  return Render(d, w);
}

void Begin(ResultWriter& w) {
  w.gathered = GatheredResult();
  w.messageBuffer.clear();
}

void IgnoreText(ResultWriter&, const std::string&) {}

void Channel(ResultWriter& w, const ChannelOut& channel) { GatherChannel(w.gathered, channel); }

void SystemState(ResultWriter& w, const UnmeasuredSystem& system) { GatherSystem(w.gathered, system); }

void End(ResultWriter& w) { w.messageBuffer = RenderResult(w); }

void Summary(ResultWriter& w, const GroupSummary&) { End(w); }

void Error(ResultWriter& w, const RunFailure& failure) {
  w.messageBuffer = RenderError(w, failure.number, failure.message);
}

void PrometheusHandlerReport(ResultWriter& w, const HandlerReport& report, bool, const std::string&) {
  w.messageBuffer = RenderError(w, 0, HandlerReportText(report));
}

OutputForm PrometheusForm() {
  OutputForm form;
  form.name = "Prometheus";
  form.profileAsGiven = true;
  form.monitorForecasts = true;
  form.consoleOnStandardError = true;
  form.beginDocument = Begin;
  form.beginText = NoOperation;
  form.appendText = IgnoreText;
  form.endText = NoOperation;
  form.channel = Channel;
  form.endDocument = End;
  form.beginGroup = Begin;
  form.systemState = SystemState;
  form.summary = Summary;
  form.error = Error;
  form.errorEnd = Error;
  form.handlerReport = PrometheusHandlerReport;
  form.exitCode = RunsExitCode;
  return form;
}

}  // namespace

extern const OutputForm kPrometheusForm = PrometheusForm();

}  // namespace fennick
