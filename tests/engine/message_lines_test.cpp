#include "engine/message_lines.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/output_watch.h"

namespace {

struct CutCase {
  const char* name;
  std::vector<std::string> blocks;  // the child's output as the reads deliver it
  std::vector<std::string> lines;
  std::string carried;
};

const CutCase cutCases[] = {
    {"CR LF lines lose the CR", {"C: a\r\nS: b\r\n"}, {"C: a", "S: b"}, ""},
    {"a bare LF drops the last visible byte", {"R: {}\n"}, {"R: {"}, ""},
    {"a bare LF at the start gives an empty line", {"\nS: x\r\n\n"}, {"", "S: x", ""}, ""},
    {"CR LF alone gives an empty line", {"\r\n"}, {""}, ""},
    {"a line split across blocks comes once, whole", {"S: he", "llo", "\r\nB: x\r", "\n"},
     {"S: hello", "B: x"}, ""},
    {"the CR in one block and the LF in the next", {"S: a\r", "\nS: b"}, {"S: a"}, "S: b"},
    {"an unterminated tail is carried", {"R: {}\r\nR: {\"x\""}, {"R: {}"}, "R: {\"x\""},
};

TEST(CutMessageLines, CutsAtEachLineFeedAcrossBlocks) {
  for (const CutCase& c : cutCases) {
    std::string carried;
    std::vector<std::string> lines;
    for (const std::string& block : c.blocks) CutMessageLines(carried, block.data(), block.size(), lines);
    EXPECT_EQ(lines, c.lines) << c.name;
    EXPECT_EQ(carried, c.carried) << c.name;
  }
}

TEST(ClassifyMessageLine, PrefixIsCaseSensitiveAndNeedsItsBlank) {
  struct Case {
    const char* line;
    MessageLineKind kind;
  };
  const Case cases[] = {
      {"C: x", MessageLineKind::Console}, {"S: ", MessageLineKind::Log},
      {"B: x", MessageLineKind::Both},    {"R: {}", MessageLineKind::Result},
      {"c: x", MessageLineKind::Unknown}, {"S:x", MessageLineKind::Unknown},
      {"R:", MessageLineKind::Unknown},   {"", MessageLineKind::Unknown},
      {" S: x", MessageLineKind::Unknown},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyMessageLine(c.line), c.kind) << c.line;
}

TEST(RouteMessageLine, SendsEachKindWhereItBelongs) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  std::string result = "preset";
  for (const char* line : {"C: to console", "S: to log", "B: to both", "R: {\"a\":1}", "X: odd",
                           "R: {\"b\":2}"}) {
    RouteMessageLine(line, result);
  }
  EXPECT_EQ(result, "{\"b\":2}");
  EXPECT_EQ(capture.Console(), "to console\nto both\n");
  const std::vector<LogEntry> expected = {
      {"S ", "to log"}, {"B ", "to both"}, {"S ", "ERROR UNKNOWN CLIENT MESSAGE TYPE: X: odd"}};
  EXPECT_EQ(capture.Log(), expected);
}

// The answer of a child that writes Latin-1 is kept as UTF-8, so it parses; a valid one is kept
// byte for byte.
TEST(RouteMessageLine, ResultTextsThatAreNotUtf8BecomeLatin1Characters) {
  struct Case {
    const char* shows;
    std::string line;
    std::string result;
  };
  const Case cases[] = {
      {"a Latin-1 e acute", "R: {\"cvnVersion\":\"Caf\xE9\"}", "{\"cvnVersion\":\"Caf\xC3\xA9\"}"},
      {"valid UTF-8 as it came", "R: {\"m\":\"Caf\xC3\xA9 \xE2\x82\xAC\"} ", "{\"m\":\"Caf\xC3\xA9 \xE2\x82\xAC\"} "},
      {"not JSON stays not JSON", "R: not json\xFF", "not json\xC3\xBF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    OutputWatch capture(OutputWatch::kConsoleCaptured);
    std::string result;
    RouteMessageLine(c.line, result);
    EXPECT_EQ(result, c.result);
  }
  std::string result;
  RouteMessageLine("R: {\"cvnVersion\":\"Caf\xE9\"}", result);
  EXPECT_EQ(nlohmann::json::parse(result)["cvnVersion"], "Caf\xC3\xA9");
}

}  // namespace
