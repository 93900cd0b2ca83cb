// The sensor result in the form the run chose. Every operation sets or
// appends to the run's message buffer through the form's own table; the
// caller prints the buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "output/gathered_result.h"
#include "output/output_form.h"
#include "output/plugin_output.h"
#include "output/prtg_channels.h"
#include "profile/failure.h"
#include "rfc/handler_report.h"

namespace fennick {

// Alerting limits of every channel, in the channel's own unit; the monitor
// takes them from the EXEXML document.
struct ChannelLimits {
  std::optional<int64_t> warning;  // ",WARN="
  std::optional<int64_t> error;    // ",ERROR="
};

// The writer's own state for the whole run.
struct ResultWriter {
  const OutputForm* form = FindOutputForm("EXEXML");
  bool singleChannel = false;    // Tessary with CH=: one channel's bare value
  int64_t requestedChannel = 0;  // its number, counted over the run
  ChannelLimits limits;
  std::string messageBuffer;
  int channelCounter = 0;
  // Where a form shows only so many channels: those shown, those left
  // out, and those kept for channels written after the systems'.
  int channelsShown = 0;
  int channelsLeftOut = 0;
  int channelsKept = 0;
  // In a group, the systems after the one whose channels are being written.
  size_t systemsToCome = 0;
  PrtgChannels prtg;        // PRTG's sensor form: the names used and what is held back
  PluginOutput plugin;      // the plugin form, gathered until the end
  GatheredResult gathered;  // the same for the forms that write figures
  // Who the run is about, for the forms that name it: a single-profile
  // run's system (PRD for PRD.P00, as a group's channel with profile names
  // would name it), or an item run's item; and when it started (monotonic
  // milliseconds), for its duration.
  bool itemRun = false;
  std::string systemLabel;
  std::string itemName;
  int64_t startMilliseconds = 0;
  // The entries of a document written whole at its end.
  std::vector<std::string> entries;
  GrowthSeen growth;  // what a group's channels in days say of growth
};

// Texts placed inside XML elements: made valid XML characters, and the three
// markup characters escaped.
std::string EscapeXml(const std::string& text);

void WriteErrorDocument(ResultWriter& w, const RunFailure& failure);
// An error that ends a result whose opening is already printed: in the XML
// forms the rest of an error document closes it, so that what the monitor
// reads stays one well-formed document; elsewhere the whole error document.
void WriteErrorEnd(ResultWriter& w, const RunFailure& failure);
void BeginDocument(ResultWriter& w);
void BeginText(ResultWriter& w);
// The caller's own words for the text line, escaped where the form is XML.
void AppendText(ResultWriter& w, const std::string& text);
void EndText(ResultWriter& w);
void WriteChannel(ResultWriter& w, const std::string& channel, const std::string& value, const std::string& unit);
void WriteChannel(ResultWriter& w, const ChannelOut& channel);
void EndDocument(ResultWriter& w);

// A group run's document: its opening, and its close with the summary. A
// group with failed systems, or one the budget cut off, is at least a
// warning where the form has states.
void BeginGroupDocument(ResultWriter& w);
void EndGroupDocument(ResultWriter& w, const GroupSummary& summary);

// A system of a group that gave no channel, where the form lists them.
void WriteSystemState(ResultWriter& w, const UnmeasuredSystem& system);

// " - N more channels than PRTG shows: split the sensor" for a run with
// `channels` channels where the form shows fewer; empty otherwise.
std::string ChannelsLeftOutNote(const ResultWriter& w, int channels);

// The exit code of a run whose output is complete: the plugin form's state,
// else the run's own.
int ExitCodeFor(const ResultWriter& w, int runExitCode);

// The report of the library's fatal error handler. In a group run whose
// XML document is open it closes the document as an error, so the channels
// already out stay readable; everywhere else it is the "RFC error" block.
// In a group `system` is the label of the system it came from.
void WriteHandlerReport(ResultWriter& w, const HandlerReport& report, bool documentOpen,
                        const std::string& system = std::string());

// `indent` blanks, the label left-aligned in `width` columns, " : ", the text.
std::string FormatLabelLine(const std::string& label, int indent, int width, const std::string& text);

// The Corvatel key: separators and the first full stop become underscores.
std::string ChannelKey(const std::string& channel);

}  // namespace fennick
