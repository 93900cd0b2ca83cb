#include "output/plugin_output.h"

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
    if (c == '\'') out += "''";
    else if (c == '=') out += '_';
    else out += c;
  }
  return out;
}

std::string PerformanceEntry(const PluginChannel& channel, const ChannelLimits& limits) {
  std::string entry = "'" + PerformanceLabel(channel.label) + "'=" + std::to_string(channel.value) + channel.unit;
  // A range "n:" alerts below n.
  entry += ";" + (limits.warning ? std::to_string(*limits.warning) + ":" : std::string());
  entry += ";" + (limits.error ? std::to_string(*limits.error) + ":" : std::string());
  entry += ";0;" + std::string(channel.unit == "%" ? "100" : "");
  return entry;
}

std::string LongLine(const PluginLine& line, const ChannelLimits& limits) {
  if (!line.channel) return PluginText(line.label) + ": " + line.state + "\n";
  const PluginChannel& channel = *line.channel;
  std::string text = PluginText(channel.label) + ": " + std::to_string(channel.value) + channel.unit + " free";
  PluginState state = ChannelState(channel, limits);
  if (state != PluginState::Ok) text += std::string(" (") + PluginStateName(state) + ")";
  return text + "\n";
}

// A line the size limit keeps: a channel below a limit, or a failed system.
bool Alerting(const PluginLine& line, const ChannelLimits& limits) {
  return !line.channel || ChannelState(*line.channel, limits) != PluginState::Ok;
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
  PluginState state = plugin.atLeastWarning ? PluginState::Warning : PluginState::Ok;
  std::vector<std::string> entries;
  for (const PluginLine& line : plugin.lines) {
    if (!line.channel) continue;
    state = Worse(state, ChannelState(*line.channel, limits));
    entries.push_back(PerformanceEntry(*line.channel, limits));
  }
  plugin.state = state;
  const std::string head = "FENNICK " + std::string(PluginStateName(state)) + " - " + PluginText(plugin.text);
  std::string status = head;
  for (size_t i = 0; i < entries.size(); ++i) status += (i == 0 ? " | " : " ") + entries[i];
  status += "\n";
  std::string body;
  for (const PluginLine& line : plugin.lines) body += LongLine(line, limits);
  if (status.size() + body.size() <= kPluginOutputLimit) return status + body;

  // Too long for the monitor: the lines that alert stay, the rest are counted.
  body.clear();
  size_t dropped = 0;
  for (const PluginLine& line : plugin.lines) {
    if (Alerting(line, limits)) {
      body += LongLine(line, limits);
    } else {
      ++dropped;
    }
  }
  if (dropped > 0) body += "... and " + std::to_string(dropped) + " more\n";
  if (status.size() > kPluginOutputLimit) {
    // Whole entries in channel order, as many as fit.
    status = head;
    for (size_t i = 0; i < entries.size(); ++i) {
      std::string next = (i == 0 ? " | " : " ") + entries[i];
      if (status.size() + next.size() + 1 > kPluginOutputLimit) break;
      status += next;
    }
    status += "\n";
  }
  return status + body;
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
