// Pieces the output forms share. Only the forms' own files use them.
#pragma once

#include <string>
#include <vector>

#include "output/output_form.h"
#include "output/result_writer.h"

namespace fennick {

// The whole error document: "<Prtg>", the error, the message, "</Prtg>".
std::string ErrorDocument(const std::string& message);

// Its close, for a document whose opening is out already.
std::string ErrorDocumentEnd(const std::string& message);

// "RFC error: KEY - message": the report in one line.
std::string HandlerReportText(const HandlerReport& report);

// The report's five label lines, each ending in a line end.
std::vector<std::string> HandlerReportLines(const HandlerReport& report);

// The report block: "RFC error", the label lines, "* Programm aborted...".
std::string HandlerReportBlock(const HandlerReport& report);

// A channel as PRTG's XML; for PRTG's own `sensor` the writer's limits and
// an offline warning follow the value.
void WriteXmlChannel(ResultWriter& w, const ChannelOut& channel, bool sensor);

// A group document framed like a single system's, with a blank line after
// its opening and after its close.
void BeginFramedGroup(ResultWriter& w);
void WriteFramedSummary(ResultWriter& w, const GroupSummary& summary);

// The summary's text line and the document's end, with a blank line after.
void WriteFramedText(ResultWriter& w, const std::string& text);

// The handler report as a block, in forms that do not close a document with it.
void WriteHandlerBlock(ResultWriter& w, const HandlerReport& report, bool documentOpen, const std::string& system);

// The run's own exit code, for forms without states.
int RunsExitCode(const ResultWriter& w, int runExitCode);

// A unit as the text forms show it: "%" for percent, "#" for none.
std::string TextUnit(const std::string& unit);

// The text forms' common parts: the buffer emptied, a "# " line opened,
// text as it is, a line end, nothing at all, and the whole error document.
void ClearDocument(ResultWriter& w);
void BeginHashLine(ResultWriter& w);
void AppendPlainText(ResultWriter& w, const std::string& text);
void AppendLineEnd(ResultWriter& w);
void NoOperation(ResultWriter& w);
void WriteWholeErrorDocument(ResultWriter& w, const RunFailure& failure);

// Nothing, for operations a form does not have.
void NoSystemState(ResultWriter& w, const UnmeasuredSystem& system);

// A single system's channels in channel order, its text the summary.
std::string SystemAsItComes(ResultWriter& w, const std::string& summary, std::vector<ChannelOut>& channels);

}  // namespace fennick
