#include "output/plugin_output.h"

#include <gtest/gtest.h>

#include "output/result_writer.h"

namespace fennick {
namespace {

PluginLine Channel(const std::string& label, int64_t value, const std::string& unit = "%") {
  PluginLine line;
  line.channel = PluginChannel();
  line.channel->label = label;
  line.channel->value = value;
  line.channel->unit = unit;
  return line;
}

TEST(PluginOutput, ErrorStates) {
  // An error's number decides: the SAP system or the way to it is CRITICAL.
  struct Row {
    int number;
    PluginState state;
  } rows[] = {
      {1011, PluginState::Critical},  // "RFC-Open for PRD failed ! - partner not reached"
      {1015, PluginState::Critical}, {1018, PluginState::Critical},
      {1032, PluginState::Critical},  // "RFC-Timeout for PRD after 5 s !"
      {1010, PluginState::Unknown},   // something before the SAP system
      {1019, PluginState::Unknown},   // something after it
      {0, PluginState::Unknown},      // "Error 10x1: ProFile ...", a library that does not load
  };
  for (const Row& row : rows) EXPECT_EQ(ErrorState(row.number), row.state) << row.number;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Past 8,000 bytes the long output gives way: the status line keeps every
// entry, the long output the lines that alert, as many as fit.
TEST(PluginOutput, SizeLimit) {
  ChannelLimits limits;
  limits.warning = 10;
  PluginOutput plugin;
  plugin.text = "(***) PSAPSR3: NoSystems=251";
  for (int i = 0; i < 250; ++i) plugin.lines.push_back(Channel("SYSTEM" + std::to_string(i), i == 7 ? 5 : 50));
  PluginLine failed;
  failed.label = "QAS.P00";
  failed.state = "Rfc Failure";
  plugin.lines.push_back(failed);
  const std::string out = RenderPluginResult(plugin, limits);
  const std::string status = out.substr(0, out.find('\n') + 1);
  EXPECT_LE(out.size(), kPluginOutputLimit);
  EXPECT_EQ(status.compare(0, 70, "FENNICK WARNING - SYSTEM7 5% free, QAS.P00 Rfc Failure - (***) PSAPSR3"), 0)
      << status;
  EXPECT_EQ(Count(status, ";10:;;0;100"), 250u) << "every entry";
  EXPECT_EQ(out.substr(status.size()), "SYSTEM7: 5% free (WARNING)\nQAS.P00: Rfc Failure\n... and 249 more\n");
  EXPECT_EQ(plugin.state, PluginState::Warning);
}

// Many channels below a limit: the long output keeps whole lines up to the
// cap, and the status line names the five most severe.
TEST(PluginOutput, TheCapHoldsWhenEveryChannelAlerts) {
  ChannelLimits limits;
  limits.warning = 51;
  limits.error = 10;
  PluginOutput plugin;
  plugin.text = "(BIG) OraSizes: NoSpc=200";
  for (int i = 0; i < 200; ++i) plugin.lines.push_back(Channel("TABLESPACE" + std::to_string(i), 50 - i % 45));
  const std::string out = RenderPluginResult(plugin, limits);
  EXPECT_LE(out.size(), kPluginOutputLimit);
  EXPECT_EQ(out.rfind("FENNICK CRITICAL - TABLESPACE44 6% free (CRITICAL), TABLESPACE89 6% free (CRITICAL), ", 0), 0u)
      << out.substr(0, 200);
  EXPECT_NE(out.find(" and 195 more - (BIG) OraSizes"), std::string::npos);
  EXPECT_EQ(Count(out.substr(0, out.find('\n')), ";51:;10:;0;100"), 200u) << "every entry";
  const std::string last = out.substr(out.rfind('\n', out.size() - 2) + 1);
  EXPECT_EQ(last.rfind("... and ", 0), 0u) << last;
  EXPECT_EQ(out.find("TABLESPACE0: 50% free (WARNING)\n"), out.find('\n') + 1) << "whole lines in channel order";
}

// A status line that alone passes the cap keeps the entries of the channels
// that alert, and fills the rest in channel order.
TEST(PluginOutput, TooManyEntriesKeepThoseThatAlert) {
  ChannelLimits limits;
  limits.error = 10;
  PluginOutput plugin;
  plugin.text = "(BIG) OraSizes: NoSpc=2000";
  for (int i = 0; i < 2000; ++i) plugin.lines.push_back(Channel("TS" + std::to_string(i), i == 1500 ? 5 : 50));
  const std::string out = RenderPluginResult(plugin, limits);
  EXPECT_LE(out.size(), kPluginOutputLimit);
  EXPECT_EQ(out.rfind("FENNICK CRITICAL - TS1500 5% free (CRITICAL) - (BIG) OraSizes: NoSpc=2000 | 'TS0'=50%;", 0), 0u)
      << out.substr(0, 200);
  const std::string status = out.substr(0, out.find('\n') + 1);
  EXPECT_NE(status.find(" 'TS1500'=5%;;10:;0;100\n"), std::string::npos) << "the alert's entry, last in channel order";
  EXPECT_GT(status.size(), kPluginOutputLimit - 30) << "the room filled with whole entries";
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
