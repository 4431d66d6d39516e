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
