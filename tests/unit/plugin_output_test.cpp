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
  struct Row {
    const char* message;
    PluginState state;
  } rows[] = {
      {"Error 1011: RFC-Open for PRD failed ! - partner not reached", PluginState::Critical},
      {"Error 1015: Other Failure raised !", PluginState::Critical},
      {"Error 1018: DataBase mismatch !", PluginState::Critical},
      {"Error 1032: RFC-Timeout for PRD after 5 s !", PluginState::Critical},
      {"Error 1010: something before the SAP system", PluginState::Unknown},
      {"Error 1019: something after it", PluginState::Unknown},
      {"Error 10x1: ProFile SAP Vireo.Gbl is missing...", PluginState::Unknown},
      {"RFC library librfccm.so cannot be loaded", PluginState::Unknown},
      {"Error 101", PluginState::Unknown},
  };
  for (const Row& row : rows) EXPECT_EQ(ErrorState(row.message), row.state) << row.message;
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
