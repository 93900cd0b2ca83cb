// The Checkmk form: local-check lines, one service per tablespace (or per
// system of an item run), each with the state, levels and text the plugin
// form gives that channel. An error is one line, as the plugin form reports
// one state, so the run is gathered and written whole at its end.
#include "output/form_parts.h"
#include "output/tablespace_evaluation.h"
#include "output/unique_names.h"
#include "output/xml_text.h"

namespace fennick {

namespace {

// The words of a service name joined by blanks; the agent's line keeps the
// name in double quotes, so neither kind of quote may stand in it.
std::string ServiceName(std::initializer_list<std::string> words) {
  std::string name;
  for (const std::string& word : words) {
    if (word.empty()) continue;
    name += (name.empty() ? "" : " ") + word;
  }
  name = XmlCharacters(name);
  for (char& c : name) {
    if (c == '"' || c == '\'') c = '_';
  }
  return name;
}

// The agent reads a line's fields apart at blanks: a tab stays none.
std::string Line(int state, const std::string& service, const std::string& metrics, const std::string& text) {
  std::string line = std::to_string(state) + " \"" + service + "\" " + metrics + " " + PluginText(text);
  for (char& c : line) {
    if (c == '\t') c = ' ';
  }
  return line + "\n";
}

// The tablespace's size in the channel's unit, for graphs that show the
// fill level; where the channel has the autoextend maximum, that.
std::string MaxField(const PluginChannel& channel, const std::optional<TablespaceRow>& row) {
  if (channel.days) return "";
  if (channel.unit == "%") return "100";
  if (channel.max) return std::to_string(*channel.max);
  if (!row) return "";
  return std::to_string(channel.unit == "GB" ? row->sizeKb / 1000000 : row->sizeKb / 1000);
}

// "free=value;warn;crit;0;max", the levels as the plugin form writes them:
// "n:" alerts below n. Days until full are a metric of their own, as a graph
// of free space must not mix in days.
std::string Metrics(const PluginChannel& channel, const std::optional<TablespaceRow>& row,
                    const ChannelLimits& limits) {
  return (channel.days ? "days_left=" : "free=") + std::to_string(channel.value) + ";" +
         (limits.warning ? std::to_string(*limits.warning) + ":" : "") + ";" +
         (limits.error ? std::to_string(*limits.error) + ":" : "") + ";0;" + MaxField(channel, row);
}

std::string ChannelLine(const ResultWriter& w, const GatheredEntry& entry, UniqueNames& names) {
  const ChannelOut& channel = *entry.channel;
  const PluginChannel plugin = PluginChannelOf(channel);
  const std::string service = w.itemRun ? ServiceName({"Fennick", w.itemName, channel.name})
                                        : ServiceName({"Fennick", w.systemLabel, channel.name});
  // Each service stands alone in Checkmk: it says itself what is known of
  // its tablespace's growth.
  GrowthSeen growth;
  if (channel.daysLeft) AddGrowthSeen(growth, *channel.daysLeft);
  return Line(static_cast<int>(ChannelAlertState(plugin, w.limits)), TakeUniqueName(names, service, channel.profile),
              Metrics(plugin, entry.tablespace, w.limits), ChannelFreeText(plugin, w.limits) + GrowthNote(growth));
}

// A listed system that gave no channel warns with its console state.
std::string SystemLine(const ResultWriter& w, const UnmeasuredSystem& system, UniqueNames& names) {
  const std::string service = ServiceName({"Fennick", w.itemName, system.label});
  return Line(static_cast<int>(PluginState::Warning), TakeUniqueName(names, service, system.profile), "-",
              system.state + (system.reason.empty() ? "" : " - " + system.reason));
}

std::string RenderResult(const ResultWriter& w) {
  UniqueNames names;
  std::string out;
  for (const GatheredEntry& entry : w.gathered.entries) {
    out += entry.channel ? ChannelLine(w, entry, names) : SystemLine(w, *entry.system, names);
  }
  return out;
}

// One line for the run: its system, or an item run's item.
std::string ErrorLine(const ResultWriter& w, PluginState state, const std::string& message) {
  return Line(static_cast<int>(state), ServiceName({"Fennick", w.itemRun ? w.itemName : w.systemLabel}), "-", message);
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
  w.messageBuffer = ErrorLine(w, ErrorState(failure.number), failure.message);
}

void CheckmkHandlerReport(ResultWriter& w, const HandlerReport& report, bool, const std::string&) {
  w.messageBuffer = ErrorLine(w, PluginState::Critical, HandlerReportText(report));
}

OutputForm CheckmkForm() {
  OutputForm form;
  form.name = "Checkmk";
  form.profileAsGiven = true;
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
  form.handlerReport = CheckmkHandlerReport;
  form.exitCode = RunsExitCode;
  return form;
}

}  // namespace

extern const OutputForm kCheckmkForm = CheckmkForm();

}  // namespace fennick
