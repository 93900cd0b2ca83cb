#include "output/plugin_output.h"

#include <gtest/gtest.h>

#include "output/result_writer.h"

namespace fennick {
namespace {

PluginLine Channel(const std::string& label, int64_t value, const std::string& unit = "%") {
  PluginLine line;
  line.channel = PluginChannel{label, value, unit};
  return line;
}

TEST(PluginOutput, ErrorStates) {
  // An error's number decides: the SAP system or the way to it is CRITICAL.
  struct Row {
    int number;
    PluginState state;
  } rows[] = {
      {1011, PluginState::Critical},  // "RFC-Open for PRD failed ! - partner not reached"
      {1015, PluginState::Critical},
      {1018, PluginState::Critical},
      {1032, PluginState::Critical},  // "RFC-Timeout for PRD after 5 s !"
      {1010, PluginState::Unknown},   // something before the SAP system
      {1019, PluginState::Unknown},   // something after it
      {0, PluginState::Unknown},      // "Error 10x1: ProFile ...", a library that does not load
  };
  for (const Row& row : rows) EXPECT_EQ(ErrorState(row.number), row.state) << row.number;
}

// Past 8,000 bytes the long output keeps the lines that alert, and the
// status line as many whole entries as fit.
TEST(PluginOutput, SizeLimit) {
  ChannelLimits limits;
  limits.warning = 10;
  PluginOutput plugin;
  plugin.text = "(***) PSAPSR3: NoSystems=400";
  for (int i = 0; i < 400; ++i) plugin.lines.push_back(Channel("SYSTEM" + std::to_string(i), i == 7 ? 5 : 50));
  PluginLine failed;
  failed.label = "QAS.P00";
  failed.state = "Rfc Failure";
  plugin.lines.push_back(failed);
  const std::string out = RenderPluginResult(plugin, limits);
  const std::string status = out.substr(0, out.find('\n') + 1);
  EXPECT_LE(status.size(), kPluginOutputLimit);
  EXPECT_EQ(status.compare(0, 30, "FENNICK WARNING - (***) PSAPSR"), 0) << status;
  EXPECT_EQ(status.substr(status.size() - 7), ";0;100\n") << "whole entries only";
  EXPECT_EQ(out.substr(status.size()), "SYSTEM7: 5% free (WARNING)\nQAS.P00: Rfc Failure\n... and 399 more\n");
  EXPECT_EQ(plugin.state, PluginState::Warning);
}

TEST(PluginOutput, TextsTheMonitorCanRead) {
  EXPECT_EQ(PluginText("a|b\x01\xE9"), "a/b?\xC3\xA9");
  PluginOutput plugin;
  plugin.text = "x";
  plugin.lines.push_back(Channel("it's a=b|c", 3, "GB"));
  EXPECT_EQ(RenderPluginResult(plugin, ChannelLimits()),
            "FENNICK OK - x | 'it''s a_b/c'=3GB;;;0;\nit's a=b/c: 3GB free\n");
}

}  // namespace
}  // namespace fennick
