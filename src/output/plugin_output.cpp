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
  const PluginChannel& channel = *line.channel;
  std::string text = PluginText(channel.label) + ": " + AmountText(channel);
  PluginState state = ChannelState(channel, limits);
  if (state != PluginState::Ok) text += std::string(" (") + PluginStateName(state) + ")";
  if (!channel.offline.empty()) text += " (" + PluginText(channel.offline) + ")";
  return text + "\n";
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

// The status line with as many whole performance-data entries as fit.
std::string StatusLine(const std::string& head, const std::vector<std::string>& entries, size_t limit) {
  // A head too long alone (names of any length) is cut.
  std::string status = head.size() + 1 > limit ? head.substr(0, limit - 4) + "..." : head;
  for (size_t i = 0; i < entries.size(); ++i) {
    std::string next = (i == 0 ? " | " : " ") + entries[i];
    if (status.size() + next.size() + 1 > limit) break;
    status += next;
  }
  return status + "\n";
}

// The lines that alert, in their order, as many as fit in `room`, then
// "... and N more" for all the others.
std::string ShortBody(const PluginOutput& plugin, const ChannelLimits& limits, size_t room) {
  std::string body;
  size_t dropped = 0;
  for (size_t i = 0; i < plugin.lines.size(); ++i) {
    const std::string line = LongLine(plugin.lines[i], limits);
    // Room kept for the count line, as long as it can get.
    const std::string countLine = "... and " + std::to_string(plugin.lines.size()) + " more\n";
    if (Alerting(plugin.lines[i], limits) && body.size() + line.size() + countLine.size() <= room) {
      body += line;
    } else {
      ++dropped;
    }
  }
  if (dropped > 0) body += "... and " + std::to_string(dropped) + " more\n";
  return body;
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
  for (const PluginLine& line : plugin.lines) {
    if (line.channel) entries.push_back(PerformanceEntry(*line.channel, limits));
  }
  std::string body;
  for (const PluginLine& line : plugin.lines) body += LongLine(line, limits);
  const std::string status = StatusLine(head, entries, std::string::npos);
  if (status.size() + body.size() <= kPluginOutputLimit) return status + body;
  // Too long for the monitor: the long output keeps the lines that alert,
  // as many as fit beside the status line's text, and the performance data
  // as many whole entries as fit in what is left.
  const std::string bareStatus = StatusLine(head, {}, kPluginOutputLimit);
  const std::string shortBody = ShortBody(plugin, limits, kPluginOutputLimit - bareStatus.size());
  return StatusLine(head, entries, kPluginOutputLimit - shortBody.size()) + shortBody;
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
