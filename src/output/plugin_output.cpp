#include "output/plugin_output.h"

#include <algorithm>

#include "output/result_writer.h"
#include "output/xml_text.h"
#include "profile/text_util.h"

namespace fennick {

namespace {

// How a channel stands against the limits: below the error limit it is
// CRITICAL, else below the warning limit WARNING.
PluginState ChannelState(const PluginChannel& channel, const ChannelLimits& limits) {
  if (limits.error && channel.value < *limits.error) return PluginState::Critical;
  if (limits.warning && channel.value < *limits.warning) return PluginState::Warning;
  return PluginState::Ok;
}

PluginState Worse(PluginState a, PluginState b) { return static_cast<int>(a) > static_cast<int>(b) ? a : b; }

// The label in performance data: quoted, so a quote is written twice, and
// "=" would end it.
std::string PerformanceLabel(const std::string& label) {
  std::string out;
  for (char c : PluginText(label)) {
    if (c == '\'')
      out += "''";
    else if (c == '=')
      out += '_';
    else
      out += c;
  }
  return out;
}

std::string PerformanceEntry(const PluginChannel& channel, const ChannelLimits& limits) {
  std::string entry = "'" + PerformanceLabel(channel.label) + "'=" + std::to_string(channel.value) + channel.unit;
  // A range "n:" alerts below n.
  entry += ";" + (limits.warning ? std::to_string(*limits.warning) + ":" : std::string());
  entry += ";" + (limits.error ? std::to_string(*limits.error) + ":" : std::string());
  entry += ";0;" + (channel.unit == "%" ? std::string("100")
                    : channel.max       ? std::to_string(*channel.max)
                                        : std::string());
  return entry;
}

// "20% free", or "42 days until full".
std::string AmountText(const PluginChannel& channel) {
  return std::to_string(channel.value) + (channel.days ? " days until full" : channel.unit + " free");
}

std::string SystemText(const PluginLine& line, const std::string& between) {
  return PluginText(line.label) + between + PluginText(line.state) +
         (line.reason.empty() ? std::string() : " - " + PluginText(line.reason));
}

std::string LongLine(const PluginLine& line, const ChannelLimits& limits) {
  if (!line.channel) return SystemText(line, ": ") + "\n";
  return PluginText(line.channel->label) + ": " + ChannelFreeText(*line.channel, limits) + "\n";
}

// A line the size limit keeps: a channel below a limit or not online, or a
// system without a channel.
bool Alerting(const PluginLine& line, const ChannelLimits& limits) {
  return !line.channel || ChannelState(*line.channel, limits) != PluginState::Ok || !line.channel->offline.empty();
}

// What the status line names, most severe first.
struct Problem {
  PluginState state;
  bool hasValue;  // a channel below a limit, ranked by how little is free
  int64_t value;
  std::string text;
};

void AddLineProblems(const PluginLine& line, const ChannelLimits& limits, std::vector<Problem>& problems) {
  if (!line.channel) {
    problems.push_back(Problem{PluginState::Warning, false, 0, SystemText(line, " ")});
    return;
  }
  const PluginChannel& channel = *line.channel;
  const PluginState state = ChannelState(channel, limits);
  if (state != PluginState::Ok) {
    const std::string text = PluginText(channel.label) + " " + AmountText(channel);
    problems.push_back(
        Problem{state, true, channel.value, text + (state == PluginState::Critical ? " (CRITICAL)" : "")});
  }
  if (!channel.offline.empty()) {
    problems.push_back(
        Problem{PluginState::Warning, false, 0, PluginText(channel.label) + " " + PluginText(channel.offline)});
  }
}

// Critical before warning; within each, the channels with the least free
// first, then the rest in channel (listing) order.
bool MoreSevere(const Problem& a, const Problem& b) {
  if (a.state != b.state) return static_cast<int>(a.state) > static_cast<int>(b.state);
  if (a.hasValue != b.hasValue) return a.hasValue;
  return a.hasValue && a.value < b.value;
}

// "A, B, C, D, E and 3 more": at most five.
std::string ProblemsText(std::vector<Problem> problems) {
  const size_t kMostNamed = 5;
  std::stable_sort(problems.begin(), problems.end(), MoreSevere);
  std::string text;
  for (size_t i = 0; i < problems.size() && i < kMostNamed; ++i) text += (i == 0 ? "" : ", ") + problems[i].text;
  if (problems.size() > kMostNamed) text += " and " + std::to_string(problems.size() - kMostNamed) + " more";
  return text;
}

// The status line without its performance data: the state, the problems,
// the summary.
std::string StatusHead(PluginOutput& plugin, const ChannelLimits& limits) {
  PluginState state = plugin.atLeastWarning ? PluginState::Warning : PluginState::Ok;
  std::vector<Problem> problems;
  bool anyChannel = false;
  bool allMeasured = true;
  for (const PluginLine& line : plugin.lines) {
    anyChannel = anyChannel || line.channel.has_value();
    allMeasured = allMeasured && (line.channel || line.measured);
    AddLineProblems(line, limits, problems);
  }
  for (const Problem& problem : problems) state = Worse(state, problem.state);
  if (plugin.itemRun && !anyChannel) {
    // A group that measured nothing says nothing about the systems.
    state = PluginState::Unknown;
    if (allMeasured) problems = {Problem{state, false, 0, "no system has tablespace " + PluginText(plugin.itemName)}};
  }
  plugin.state = state;
  std::string head = "FENNICK " + std::string(PluginStateName(state)) + " - ";
  if (state != PluginState::Ok && !problems.empty()) head += ProblemsText(problems) + " - ";
  return head + PluginText(plugin.text);
}

// The status line with the performance data entries given.
std::string StatusLine(const std::string& head, const std::vector<std::string>& entries) {
  std::string status = head;
  for (size_t i = 0; i < entries.size(); ++i) status += (i == 0 ? " | " : " ") + entries[i];
  return status + "\n";
}

// A status line too long for the monitor: the head is cut where names of
// any length make it so, and the performance data keeps whole entries, those
// of the channels that alert first, so that an alert's graph has no gap,
// then the others in channel order; they are written in channel order.
std::string CutStatusLine(const std::string& fullHead, const std::vector<std::string>& entries,
                          const std::vector<bool>& alerting) {
  const size_t limit = kPluginOutputLimit;
  const std::string head = fullHead.size() + 1 > limit ? fullHead.substr(0, limit - 4) + "..." : fullHead;
  std::vector<bool> kept(entries.size(), false);
  size_t size = head.size() + 1;
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < entries.size(); ++i) {
      if (kept[i] || alerting[i] != (pass == 0)) continue;
      const size_t separator = size == head.size() + 1 ? std::string(" | ").size() : 1;
      const size_t more = separator + entries[i].size();
      if (size + more > limit) {
        if (pass == 0) continue;  // a shorter alert may still fit
        break;
      }
      kept[i] = true;
      size += more;
    }
  }
  std::vector<std::string> shown;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (kept[i]) shown.push_back(entries[i]);
  }
  return StatusLine(head, shown);
}

// The lines that alert, in their order, as many as fit in `room`, then
// "... and N more" for all the others; nothing where not even that fits.
std::string ShortBody(const PluginOutput& plugin, const ChannelLimits& limits, size_t room) {
  std::string body;
  size_t dropped = 0;
  // Room kept for the count line, as long as it can get.
  const size_t countRoom = ("... and " + std::to_string(plugin.lines.size()) + " more\n").size();
  for (const PluginLine& line : plugin.lines) {
    const std::string text = LongLine(line, limits);
    if (Alerting(line, limits) && body.size() + text.size() + countRoom <= room) {
      body += text;
    } else {
      ++dropped;
    }
  }
  if (dropped > 0) body += "... and " + std::to_string(dropped) + " more\n";
  return body.size() <= room ? body : std::string();
}

}  // namespace

const char* PluginStateName(PluginState state) {
  switch (state) {
    case PluginState::Ok: return "OK";
    case PluginState::Warning: return "WARNING";
    case PluginState::Critical: return "CRITICAL";
    case PluginState::Unknown: break;
  }
  return "UNKNOWN";
}

PluginState ChannelAlertState(const PluginChannel& channel, const ChannelLimits& limits) {
  const PluginState state = ChannelState(channel, limits);
  return channel.offline.empty() ? state : Worse(state, PluginState::Warning);
}

std::string ChannelFreeText(const PluginChannel& channel, const ChannelLimits& limits) {
  std::string text = AmountText(channel);
  PluginState state = ChannelState(channel, limits);
  if (state != PluginState::Ok) text += std::string(" (") + PluginStateName(state) + ")";
  if (!channel.offline.empty()) text += " (" + PluginText(channel.offline) + ")";
  return text;
}

PluginChannel PluginChannelOf(const ChannelOut& channel) {
  PluginChannel out;
  out.label = channel.name;
  out.value = LeadingInteger(channel.value);
  out.days = channel.daysLeft.has_value();
  out.unit = out.days ? std::string() : PluginUnit(channel.unit);
  out.max = channel.max;
  out.offline = channel.offline;
  return out;
}

std::string PluginUnit(const std::string& unit) {
  if (unit == "PerCent" || unit == "%") return "%";
  if (unit == "MByte") return "MB";
  if (unit == "GByte") return "GB";
  return unit;
}

std::string PluginText(const std::string& text) {
  std::string out = XmlCharacters(text);
  for (char& c : out) {
    if (c == '|') c = '/';
  }
  return out;
}

std::string RenderPluginResult(PluginOutput& plugin, const ChannelLimits& limits) {
  const std::string head = StatusHead(plugin, limits);
  std::vector<std::string> entries;
  std::vector<bool> alerting;
  std::string body;
  for (const PluginLine& line : plugin.lines) {
    body += LongLine(line, limits);
    if (!line.channel) continue;
    entries.push_back(PerformanceEntry(*line.channel, limits));
    alerting.push_back(Alerting(line, limits));
  }
  std::string status = StatusLine(head, entries);
  if (status.size() + body.size() <= kPluginOutputLimit) return status + body;
  // Too long for the monitor: the performance data comes first, since a
  // graph with gaps cannot be mended afterwards; the long output keeps the
  // lines that alert, as many as fit in what is left.
  if (status.size() > kPluginOutputLimit) status = CutStatusLine(head, entries, alerting);
  return status + ShortBody(plugin, limits, kPluginOutputLimit - status.size());
}

PluginState ErrorState(int number) {
  const bool sapSystem = (number >= 1011 && number <= 1018) || number == 1032;
  return sapSystem ? PluginState::Critical : PluginState::Unknown;
}

std::string RenderPluginError(PluginState state, const std::string& message,
                              const std::vector<std::string>& longLines) {
  std::string out = "FENNICK " + std::string(PluginStateName(state)) + " - " + PluginText(message) + "\n";
  for (const std::string& line : longLines) out += PluginText(line) + "\n";
  return out;
}

}  // namespace fennick
