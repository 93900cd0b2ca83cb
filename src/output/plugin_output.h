// The monitoring-plugin form (Nagios, Icinga, Naemon, Checkmk): one status
// line with performance data, long output below it, the state in the exit
// code. The whole output is known only at the end, so the writer gathers
// it here and renders it at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fennick {

struct ChannelLimits;

enum class PluginState { Ok = 0, Warning = 1, Critical = 2, Unknown = 3 };

// "OK", "WARNING", "CRITICAL" or "UNKNOWN".
const char* PluginStateName(PluginState state);

struct PluginChannel {
  std::string label;
  int64_t value = 0;
  std::string unit;  // "%", "MB" or "GB"
};

// A long-output line: a channel, or a system that gave none.
struct PluginLine {
  std::optional<PluginChannel> channel;
  std::string label;  // a system without a channel: its label and state
  std::string state;
};

struct PluginOutput {
  std::string text;  // the summary
  std::vector<PluginLine> lines;
  bool atLeastWarning = false;  // a group with failed or cut-off systems
  PluginState state = PluginState::Ok;  // of the last rendering
};

// Nagios reads at most 8 KB of a plugin's output.
constexpr size_t kPluginOutputLimit = 8000;

// The unit as performance data writes it, from the writer's unit text.
std::string PluginUnit(const std::string& unit);

// The whole output of a result: status line, performance data, long output;
// sets `plugin.state`.
std::string RenderPluginResult(PluginOutput& plugin, const ChannelLimits& limits);

// An error's state by its number: CRITICAL for Errors 1011 to 1018 and 1032
// (the SAP system or the way to it), UNKNOWN for everything else.
PluginState ErrorState(int number);

// The status line of an error, with optional long output lines.
std::string RenderPluginError(PluginState state, const std::string& message,
                              const std::vector<std::string>& longLines);

// Text the monitor can show: valid UTF-8, and "|" (where the monitor splits
// the line) as "/".
std::string PluginText(const std::string& text);

}  // namespace fennick
