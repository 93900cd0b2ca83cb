#include "driver/child/outcome_frame.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

SystemOutcome Measured() {
  SystemOutcome s;
  s.end = SystemEnd::Measured;
  s.rows = {{"PSAPSR3", 4000000, 1000000, 75, std::nullopt, 0, ""},
            {"with 3:x, inside", -5, 0, -1, std::nullopt, 0, ""}};
  s.work.steps = {{true, "RfcOpen called", ""}, {false, "end", "3:end,"}};
  s.work.consoleLines = {"* SapRfc.Ini.......: PRD<\n"};
  s.files.traces = {{"Dev_Rfc.Trc", "**** ERROR file opened\nERROR       end\n"}};
  s.files.parameterCopy = "DEST=PRD\r\nTYPE=A\r\n";
  return s;
}

// The pieces a child sends give back what it measured, whatever bytes the
// names, steps and files hold; a frame cut anywhere is never taken whole.
TEST(OutcomeFrame, RoundTripAndEveryCut) {
  SystemOutcome sent = Measured();
  sent.handler = HandlerReport{"ItDelete TS", "RFC_ERROR_MEMORY", "ItDelete", "still in use", "IT 7", false};
  sent.handlerAtClose = true;
  const std::string frame = EncodeOutcome(sent);
  SystemOutcome got;
  ASSERT_EQ(DecodeOutcome(frame, got), FrameState::Complete);
  EXPECT_EQ(got.end, SystemEnd::Measured);
  ASSERT_EQ(got.rows.size(), 2u);
  EXPECT_EQ(got.rows[1].name, "with 3:x, inside");
  EXPECT_EQ(got.rows[1].sizeKb, -5);
  EXPECT_EQ(got.rows[1].pctUsed, -1);
  ASSERT_EQ(got.work.steps.size(), 2u);
  EXPECT_TRUE(got.work.steps[0].onConnection);
  EXPECT_EQ(got.work.steps[1].detail, "3:end,");
  EXPECT_EQ(got.work.consoleLines, sent.work.consoleLines);
  EXPECT_EQ(got.files.traces, sent.files.traces);
  EXPECT_EQ(got.files.parameterCopy, sent.files.parameterCopy);
  ASSERT_TRUE(got.handler.has_value());
  EXPECT_EQ(got.handler->internalStatus, "IT 7");
  EXPECT_TRUE(got.handlerAtClose);

  const size_t measuredAt = frame.find("8:measured,") + 11;
  for (size_t cut = 0; cut < frame.size(); ++cut) {
    SystemOutcome part;
    FrameState state = DecodeOutcome(frame.substr(0, cut), part);
    EXPECT_EQ(state, cut >= measuredAt ? FrameState::Measured : FrameState::Incomplete) << "cut at " << cut;
  }
}

TEST(OutcomeFrame, BrokenFrames) {
  const std::string whole = EncodeOutcome(Measured());
  struct Row {
    const char* what;
    std::string frame;
  } rows[] = {
      {"another tag first", "7:request," + whole.substr(whole.find(',') + 1)},
      {"a length that is no number", "1x:fennick-outcome,"},
      {"no comma after the item", "15:fennick-outcome;"},
      {"an unknown group", "15:fennick-outcome,5:bogus,3:end,"},
      {"bytes after the end", whole + "1:x,"},
      {"a result out of range", "15:fennick-outcome,6:result,2:99,3:end,"},
      {"a number beyond 64 bits", "15:fennick-outcome,6:result,20:99999999999999999999,3:end,"},
      {"an item longer than any outcome", "15:fennick-outcome,999999999999:x"},
  };
  for (const Row& row : rows) {
    SystemOutcome got;
    EXPECT_EQ(DecodeOutcome(row.frame, got), FrameState::Broken) << row.what;
  }
}

// The parent reads a child's frame as it comes, a piece at a time; every
// group is taken once.
TEST(OutcomeFrame, ReadByteByByte) {
  const std::string frame = EncodeOutcome(Measured(), "/tmp/fennick-1-ab");
  OutcomeDecoder decoder;
  ChildNews news;
  FrameState state = FrameState::Incomplete;
  for (char c : frame) state = decoder.Feed(std::string(1, c), news);
  EXPECT_EQ(state, FrameState::Complete);
  EXPECT_EQ(news.workspace, "/tmp/fennick-1-ab");
  EXPECT_EQ(news.outcome.rows.size(), 2u);
  EXPECT_EQ(news.outcome.work.steps.size(), 2u);
  EXPECT_EQ(decoder.Feed("1:x,", news), FrameState::Broken) << "nothing may follow the end";
}

TEST(OutcomeFrame, ChildRequest) {
  ChildRequest sent;
  sent.request.entry.destination = "PRD";
  sent.request.entry.password = "my pass,1:x";
  sent.request.hostOverride = "sapprd02";
  sent.request.consoleReport = true;
  sent.backend = "classic";
  ChildRequest got;
  ASSERT_TRUE(DecodeChildRequest(EncodeChildRequest(sent), got));
  EXPECT_EQ(got.request.entry.password, "my pass,1:x");
  EXPECT_EQ(got.request.hostOverride, sent.request.hostOverride);
  EXPECT_FALSE(got.request.sysnrOverride.has_value());
  EXPECT_TRUE(got.request.consoleReport);
  EXPECT_EQ(got.backend, sent.backend);
  const std::string frame = EncodeChildRequest(sent);
  EXPECT_FALSE(DecodeChildRequest(frame.substr(0, frame.size() - 1), got));
}

}  // namespace
}  // namespace fennick
