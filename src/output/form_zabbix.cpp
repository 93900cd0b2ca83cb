// The Zabbix form: one JSON document on one line, the value of an agent
// item that the template's dependent items take apart with JSONPath. The
// document is gathered and written whole at the end, so that the agent
// never passes on half of one; figures are raw (bytes, percent, status) and
// the template judges them, so limits and units change nothing here.
#include "output/form_parts.h"
#include "output/tablespace_evaluation.h"
#include "output/xml_text.h"

namespace fennick {

namespace {

// The agent refuses a value of 512 KB or more; the document stays below
// that with room to spare.
const size_t kDocumentBytes = 500000;

// The agent ends a command after its Timeout, at most 30 s, and a command it
// ended gives no value at all.
const int kZabbixBudgetSeconds = 25;

// A JSON string of valid UTF-8, whatever the bytes were.
std::string Json(const std::string& raw) {
  std::string out = "\"";
  for (char c : XmlCharacters(raw)) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20) {
      const char* hex = "0123456789abcdef";
      out += std::string("\\u00") + hex[u >> 4] + hex[u & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// Kilobytes times 1024, exactly, whatever the row held: in decimal digits,
// since the product of a hostile row need not fit in 64 bits.
std::string Bytes(int64_t kb) {
  const bool negative = kb < 0;
  // The magnitude, one decimal digit at a time, without negating INT64_MIN.
  std::string digits;
  for (int64_t rest = kb; rest != 0; rest /= 10)
    digits += static_cast<char>('0' + (negative ? -(rest % 10) : rest % 10));
  if (digits.empty()) return "0";
  std::string product;  // least significant digit first, as `digits`
  unsigned carry = 0;
  for (char d : digits) {
    carry += static_cast<unsigned>(d - '0') * 1024;
    product += static_cast<char>('0' + carry % 10);
    carry /= 10;
  }
  for (; carry > 0; carry /= 10) product += static_cast<char>('0' + carry % 10);
  return (negative ? "-" : "") + std::string(product.rbegin(), product.rend());
}

// A tablespace's figures: its size and free space, the percent channel's
// value, the maximum it may grow to (the size where it has none) and the
// percent free against that, and its status.
std::string Figures(const TablespaceRow& row) {
  const std::optional<int64_t> maximum = AutoextendMaximum(row);
  const int64_t freePct = 100 - static_cast<int64_t>(row.pctUsed);
  const int64_t freeOfMaxPct = maximum ? 100 - static_cast<int64_t>(row.autoextendPct) : freePct;
  return "\"size_bytes\":" + Bytes(row.sizeKb) + ",\"free_bytes\":" + Bytes(row.freeKb) +
         ",\"free_pct\":" + std::to_string(freePct) + ",\"max_bytes\":" + Bytes(maximum ? *maximum : row.sizeKb) +
         ",\"free_of_max_pct\":" + std::to_string(freeOfMaxPct) + ",\"status\":" + Json(row.status);
}

// The start of an item run's system entry, up to its state's text.
std::string SystemHead(const std::string& label, const std::string& profile) {
  return "{\"system\":" + Json(label) + ",\"profile\":" + Json(profile) + ",\"state\":";
}

// The document: `head`, the entries in order as long as they fit, and
// "left_out" with the number of those that did not.
std::string Document(const std::string& head, const std::vector<std::string>& entries) {
  const std::string close = "]}\n";
  size_t size = head.size() + close.size();
  for (size_t i = 0; i < entries.size(); ++i) size += entries[i].size() + (i > 0 ? 1 : 0);
  size_t kept = entries.size();
  if (size > kDocumentBytes) {
    size = head.size();
    for (kept = 0; kept < entries.size(); ++kept) {
      const std::string tail = "],\"left_out\":" + std::to_string(entries.size() - kept - 1) + "}\n";
      const size_t grown = size + entries[kept].size() + (kept > 0 ? 1 : 0);
      if (grown + tail.size() > kDocumentBytes) break;
      size = grown;
    }
  }
  std::string document = head;
  for (size_t i = 0; i < kept; ++i) document += (i > 0 ? "," : "") + entries[i];
  if (kept == entries.size()) return document + close;
  return document + "],\"left_out\":" + std::to_string(entries.size() - kept) + "}\n";
}

// The system a single-profile run measures, first in its documents.
std::string SystemMember(const ResultWriter& w) {
  return w.systemLabel.empty() ? std::string() : "\"system\":" + Json(w.systemLabel) + ",";
}

std::string ErrorDocument(const ResultWriter& w, const std::string& number, const std::string& message) {
  return "{" + SystemMember(w) + "\"error\":{\"number\":" + number + ",\"message\":" + Json(message) + "}}\n";
}

// The summary line is no part of a single system's document.
void NoText(ResultWriter&, const std::string&) {}

void Begin(ResultWriter& w) {
  w.entries.clear();
  w.messageBuffer.clear();
}

// A single system's tablespace, or in an item run the system's channel.
void Channel(ResultWriter& w, const ChannelOut& channel) {
  if (!channel.row) return;
  const std::string figures = Figures(*channel.row);
  if (channel.profile.empty()) {
    w.entries.push_back("{\"name\":" + Json(channel.row->name) + "," + figures + "}");
  } else {
    w.entries.push_back(SystemHead(channel.name, channel.profile) + "\"Processed\"," + figures + "}");
  }
}

void End(ResultWriter& w) { w.messageBuffer = Document("{" + SystemMember(w) + "\"tablespaces\":[", w.entries); }

// A system without the item's figures. A system whose incomplete profile
// entry still logged on has its channel out already, yet counts as failed:
// its entries, just written, take the state, so that the system has one
// entry with one state, as the summary counts it.
void SystemState(ResultWriter& w, const UnmeasuredSystem& system) {
  const std::string head = SystemHead(system.label, system.profile);
  const std::string reason = system.reason.empty() ? std::string() : ",\"reason\":" + Json(system.reason);
  const std::string processed = head + "\"Processed\"";
  const bool measuredYetFailed = system.state == "Rfc Failure" && !system.failure;
  bool hadChannel = false;
  for (size_t i = w.entries.size();
       measuredYetFailed && i-- > 0 && w.entries[i].compare(0, processed.size(), processed) == 0;) {
    w.entries[i] = head + Json(system.state) + reason + w.entries[i].substr(processed.size());
    hadChannel = true;
  }
  if (!hadChannel) w.entries.push_back(head + Json(system.state) + reason + "}");
}

void Summary(ResultWriter& w, const GroupSummary& summary) {
  w.messageBuffer = Document(
      "{\"item\":" + Json(summary.itemName) + ",\"summary\":" + Json(summary.text) + ",\"systems\":[", w.entries);
}

// One document a run: what was gathered before an error is dropped.
void Error(ResultWriter& w, const RunFailure& failure) {
  w.messageBuffer = ErrorDocument(w, failure.number > 0 ? std::to_string(failure.number) : "null", failure.message);
}

void ZabbixHandlerReport(ResultWriter& w, const HandlerReport& report, bool, const std::string&) {
  w.messageBuffer = ErrorDocument(w, "null", HandlerReportText(report));
}

OutputForm ZabbixForm() {
  OutputForm form;
  form.name = "Zabbix";
  form.profileAsGiven = true;
  form.monitorForecasts = true;
  form.consoleSilent = true;
  form.defaultBudgetSeconds = kZabbixBudgetSeconds;
  form.beginDocument = Begin;
  form.beginText = NoOperation;
  form.appendText = NoText;
  form.endText = NoOperation;
  form.channel = Channel;
  form.endDocument = End;
  form.beginGroup = Begin;
  form.systemState = SystemState;
  form.summary = Summary;
  form.error = Error;
  form.errorEnd = Error;
  form.handlerReport = ZabbixHandlerReport;
  form.exitCode = RunsExitCode;
  return form;
}

}  // namespace

extern const OutputForm kZabbixForm = ZabbixForm();

}  // namespace fennick
