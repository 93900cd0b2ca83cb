// The monitoring-plugin form (Nagios, Icinga, Naemon, Checkmk): the whole
// output is known only at the end, so the channels and systems are gathered
// and rendered at once, with the state as the exit code.
#include "output/form_parts.h"

namespace fennick {

namespace {

// Monitors kill a check at 60 s by default, and a killed check says nothing.
const int kPluginBudgetSeconds = 50;

void Begin(ResultWriter& w) {
  w.plugin = PluginOutput();
  w.messageBuffer.clear();
}

void BeginPluginText(ResultWriter& w) { w.plugin.text.clear(); }
void AppendPluginText(ResultWriter& w, const std::string& text) { w.plugin.text += text; }

// The summary ends in a blank the status line has no use for.
void EndPluginText(ResultWriter& w) {
  while (!w.plugin.text.empty() && w.plugin.text.back() == ' ') w.plugin.text.pop_back();
}

void Channel(ResultWriter& w, const ChannelOut& channel) {
  PluginLine line;
  line.channel = PluginChannelOf(channel);
  w.plugin.lines.push_back(line);
}

void End(ResultWriter& w) { w.messageBuffer = RenderPluginResult(w.plugin, w.limits); }

void SystemState(ResultWriter& w, const UnmeasuredSystem& system) {
  PluginLine line;
  line.label = system.label;
  line.state = system.state;
  line.reason = system.reason;
  line.measured = system.measured;
  w.plugin.lines.push_back(line);
}

void Summary(ResultWriter& w, const GroupSummary& summary) {
  w.messageBuffer.clear();
  w.plugin.atLeastWarning = summary.atLeastWarning;
  w.plugin.itemRun = true;
  w.plugin.itemName = summary.itemName;
  BeginPluginText(w);
  AppendPluginText(w, summary.text);
  EndPluginText(w);
  End(w);
}

// One state for the run: what was measured before the error is dropped.
void Error(ResultWriter& w, const RunFailure& failure) {
  w.plugin.state = ErrorState(failure.number);
  w.messageBuffer = RenderPluginError(w.plugin.state, failure.message, {});
}

// The same report in single-profile and item runs: the monitor shows one state.
void PluginHandlerReport(ResultWriter& w, const HandlerReport& report, bool, const std::string&) {
  std::vector<std::string> lines = HandlerReportLines(report);
  for (std::string& line : lines) line.pop_back();  // the renderer ends each line
  w.plugin.state = PluginState::Critical;
  w.messageBuffer = RenderPluginError(w.plugin.state, HandlerReportText(report), lines);
}

int ExitCode(const ResultWriter& w, int) { return static_cast<int>(w.plugin.state); }

OutputForm PluginForm() {
  OutputForm form;
  form.name = "Nagios";
  form.profileAsGiven = true;
  form.consoleOnStandardError = true;
  form.defaultBudgetSeconds = kPluginBudgetSeconds;
  form.beginDocument = Begin;
  form.beginText = BeginPluginText;
  form.appendText = AppendPluginText;
  form.endText = EndPluginText;
  form.arrangeSystem = SystemAsItComes;
  form.channel = Channel;
  form.endDocument = End;
  form.beginGroup = Begin;
  form.systemState = SystemState;
  form.summary = Summary;
  form.error = Error;
  form.errorEnd = Error;
  form.handlerReport = PluginHandlerReport;
  form.exitCode = ExitCode;
  return form;
}

}  // namespace

extern const OutputForm kPluginForm = PluginForm();

}  // namespace fennick
