#include "common/run_log.h"

#include <gtest/gtest.h>

TEST(LogLine, PadsSourceLineAndSeconds) {
  struct Case {
    int category;
    int line;
    double seconds;
    const char* expected;
  } const cases[] = {
      {kLogS, 54, 3.5, "S 54    3.5  msg\n"},
      {kLogS, 54, 12.25, "S 54    12.25 msg\n"},
      {kLogB, 7, 0.0, "B 7     0    msg\n"},
      {kLogS, 123456, 10000.0, "S 123456 10000 msg\n"},
      {kLogS, 1, 123456.78, "S 1     123457 msg\n"},
      // Unrounded seconds: the line shows them rounded to two decimals.
      {kLogS, 9, 3.14159, "S 9     3.14 msg\n"},
      {kLogS, 9, 0.015, "S 9     0.02 msg\n"},
      {kLogS, 9, 12.345678, "S 9     12.35 msg\n"},
      {kLogS, 9, 0.004999, "S 9     0    msg\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    FormatLogLine(out, c.category, c.line, c.seconds, "msg");
    EXPECT_EQ(out.str(), c.expected);
  }
}

TEST(LogLine, WriteLogLineAppendsToRunLog) {
  runLog.str("");
  WriteLogLine(kLogS, 42, "INFO: hello\tthere");
  const std::string text = runLog.str();
  EXPECT_EQ(text.substr(0, 8), "S 42    ");
  EXPECT_EQ(text.substr(text.size() - 19), " INFO: hello\tthere\n");
}

TEST(LogLine, WriteLogLineRoundsTheClockToTwoDecimals) {
  // A start a third of a millisecond off the clock's grid: unrounded, every time has more decimals.
  const double start = runStartTime;
  runStartTime -= 1234.3337;
  runLog.str("");
  WriteLogLine(kLogS, 42, "m");
  runStartTime = start;
  const std::string text = runLog.str();
  ASSERT_EQ(text.substr(0, 8), "S 42    ");
  const std::string seconds = text.substr(8, text.find(' ', 8) - 8);
  const size_t point = seconds.find('.');
  if (point != std::string::npos) {
    EXPECT_LE(seconds.size() - point - 1, 2u) << seconds;
  }
}
