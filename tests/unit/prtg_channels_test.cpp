#include "output/prtg_channels.h"

#include <gtest/gtest.h>

#include "output/result_writer.h"

namespace fennick {
namespace {

TEST(PrtgChannels, EveryNameOnce) {
  const struct {
    const char* label;
    const char* profile;
    const char* name;
  } rows[] = {
      {"SY1", "S1.P00", "SY1"},    {"SY1", "S1B.P00", "SY1 (S1B)"},         {"SY1", "S1B.P00", "SY1 #3"},
      {"SY1", "", "SY1 #4"},       {"SY1 #5", "X.P00", "SY1 #5"},           {"SY1", "", "SY1 #6"},
      {"SY2", "dir.x\\S2", "SY2"}, {"SY2", "dir.x\\S2", "SY2 (dir.x\\S2)"},
  };
  PrtgChannels prtg;
  for (const auto& row : rows) EXPECT_EQ(UniqueChannelName(prtg, row.label, row.profile), row.name);
}

ChannelOut Channel(const std::string& name, int value, const char* offline = "") {
  ChannelOut channel;
  channel.name = name;
  channel.value = std::to_string(value);
  channel.unit = "%";
  channel.offline = offline;
  return channel;
}

// Sixty channels, alarms among the last: 55 below the error limit, 57
// below the warning limit, 58 offline.
std::vector<ChannelOut> Sixty() {
  std::vector<ChannelOut> channels;
  for (int i = 0; i < 60; ++i) {
    channels.push_back(Channel("S" + std::to_string(i), i == 55 ? 5 : i == 57 ? 20 : 50, i == 58 ? "OFFLINE" : ""));
  }
  return channels;
}

ResultWriter Alerting() {
  ResultWriter w;
  w.limits.warning = 30;
  w.limits.error = 10;
  return w;
}

// Where the channel of that name is in the document, or npos.
size_t At(const std::string& document, const std::string& name) {
  return document.find("<Channel>" + name + "</Channel>");
}

void ExpectAlarmsFirst(const std::string& document, int shown, const std::string& what) {
  EXPECT_LT(At(document, "S55"), At(document, "S57")) << what;
  EXPECT_LT(At(document, "S57"), At(document, "S58")) << what;
  EXPECT_LT(At(document, "S58"), At(document, "S0")) << what;
  EXPECT_NE(At(document, "S" + std::to_string(shown - 4)), std::string::npos) << what << ": the rest fill the room";
  EXPECT_EQ(At(document, "S" + std::to_string(shown - 3)), std::string::npos) << what;
  EXPECT_NE(document.find(" - offline: S58 - " + std::to_string(60 - shown) + " more channels"), std::string::npos)
      << what;
}

// Past PRTG's 50 channels those in alarm are written first, also where a
// group's channels come system by system and the handler closes it.
TEST(PrtgChannels, AlarmsAreNeverLeftOut) {
  ResultWriter single = Alerting();
  std::vector<ChannelOut> channels = Sixty();
  const std::string text = single.form->arrangeSystem(single, "(BIG) OraSizes: NoSpc=60", channels);
  std::string document = text;
  for (const ChannelOut& channel : channels) WriteChannel(single, channel);
  ExpectAlarmsFirst(document + single.messageBuffer, 50, "single");

  ResultWriter group = Alerting();
  BeginGroupDocument(group);
  ResultWriter handler = Alerting();
  BeginGroupDocument(handler);
  size_t after = 60;
  for (const ChannelOut& channel : Sixty()) {
    group.systemsToCome = handler.systemsToCome = --after;
    WriteChannel(group, channel);
    WriteChannel(handler, channel);
  }
  GroupSummary summary;
  summary.text = "(***) PSAPSR3: NoSystems=60";
  EndGroupDocument(group, summary);
  ExpectAlarmsFirst(group.messageBuffer, 49, "group");
  EXPECT_NE(At(group.messageBuffer, "Unmeasured systems"), std::string::npos);

  WriteHandlerReport(handler, HandlerReport{"RfcReceive", "KEY", "", "broken", ""}, true, "S3.P00");
  EXPECT_LT(At(handler.messageBuffer, "S55"), At(handler.messageBuffer, "S0"));
  const std::string end = "<Text>RFC error: KEY - broken (S3.P00)</Text>\n</Prtg>\n";
  EXPECT_EQ(handler.messageBuffer.substr(handler.messageBuffer.size() - end.size()), end);
}

TEST(PrtgChannels, TheTextStaysWithinPrtgsLength) {
  const std::string text(1000, 'x');
  const std::string channels = " - 9 more channels than PRTG shows: split the sensor";
  std::vector<std::string> unmeasured(100, "QAS (Rfc Failure: Name or password is incorrect)");
  std::vector<std::string> offline(10, "PSAPSR3OLD");
  const std::string whole = PrtgText(text, unmeasured, offline, channels);
  EXPECT_LE(whole.size(), kPrtgTextLength);
  const std::string notes =
      " - offline: PSAPSR3OLD, PSAPSR3OLD, PSAPSR3OLD, PSAPSR3OLD, PSAPSR3OLD, PSAPSR3OLD, "
      "PSAPSR3OLD, PSAPSR3OLD, PSAPSR3OLD, PSAPSR3OLD" +
      channels;
  EXPECT_EQ(whole.substr(whole.size() - notes.size()), notes) << "the unmeasured systems are cut first";
  EXPECT_EQ(whole.substr(whole.size() - notes.size() - 5, 5), ", ...");
  EXPECT_EQ(PrtgText("t", {"A (Timeout)"}, {}, ""), "t - unmeasured: A (Timeout)");
  EXPECT_EQ(ListNote(" - offline: ", {std::string(3000, 'O')}, 2000), " - offline: ...");
}

}  // namespace
}  // namespace fennick
