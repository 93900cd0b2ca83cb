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
struct ChannelOut;

enum class PluginState { Ok = 0, Warning = 1, Critical = 2, Unknown = 3 };

// "OK", "WARNING", "CRITICAL" or "UNKNOWN".
const char* PluginStateName(PluginState state);

struct PluginChannel {
  std::string label;
  int64_t value = 0;
  std::string unit;            // "%", "MB" or "GB"
  std::optional<int64_t> max;  // the performance data's max, where it is not 100 %
  std::string offline;         // the status of a tablespace that is not online
  bool days = false;           // whole days until full rather than free space
};

// A long-output line: a channel, or a system that gave none.
struct PluginLine {
  std::optional<PluginChannel> channel;
  // A system without a channel: its label, its state ("Rfc Failure",
  // "Timeout", "Profile missing", "no tablespace ITEM") and the library's
  // reason where one is known.
  std::string label;
  std::string state;
  std::string reason;
  bool measured = false;  // reached and measured, but without the item
};

struct PluginOutput {
  std::string text;  // the summary
  std::vector<PluginLine> lines;
  bool atLeastWarning = false;  // a group with failed or cut-off systems
  bool itemRun = false;         // a group: without any channel it measured nothing
  std::string itemName;
  PluginState state = PluginState::Ok;  // of the last rendering
};

// Nagios reads at most 8 KB of a plugin's output.
constexpr size_t kPluginOutputLimit = 8000;

// A form's channel as the plugin forms judge and write it: days until full
// have no unit.
PluginChannel PluginChannelOf(const ChannelOut& channel);

// A channel's own state: CRITICAL below the error limit, else WARNING below
// the warning limit or when its tablespace is not online.
PluginState ChannelAlertState(const PluginChannel& channel, const ChannelLimits& limits);

// What the long output says of a channel after its label: "20% free",
// "9000MB free (OFFLINE)".
std::string ChannelFreeText(const PluginChannel& channel, const ChannelLimits& limits);

// The unit as performance data writes it, from the writer's unit text.
std::string PluginUnit(const std::string& unit);

// The whole output of a result: status line (the problems first, when there
// are any), performance data, long output, within kPluginOutputLimit; sets
// `plugin.state`.
std::string RenderPluginResult(PluginOutput& plugin, const ChannelLimits& limits);

// An error's state by its number: CRITICAL for Errors 1011 to 1018 and 1032
// (the SAP system or the way to it), UNKNOWN for everything else.
PluginState ErrorState(int number);

// The status line of an error, with optional long output lines.
std::string RenderPluginError(PluginState state, const std::string& message, const std::vector<std::string>& longLines);

// Text the monitor can show: valid UTF-8, and "|" (where the monitor splits
// the line) as "/".
std::string PluginText(const std::string& text);

}  // namespace fennick
