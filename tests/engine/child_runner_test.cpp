#include "engine/child_runner.h"

#include <gtest/gtest.h>

#include "common/text_helpers.h"
#include "engine/capped_lines.h"
#include "engine/child_log_budget.h"
#include "tests/support/fake_child_script.h"
#include "tests/support/output_watch.h"
#include "tests/support/spawned_process.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string noResults = "{\"BENCHRUNNER_ERROR\":\"No results retured from child\"}";
const std::string launchFailed =
    "{\"BENCHRUNNER_ERROR\":\"Failed to launch child process correctly\"}";
const std::string unknown = "ERROR UNKNOWN CLIENT MESSAGE TYPE: ";

struct Case {
  const char* name;
  std::vector<std::string> script;
  std::string result;
  std::vector<LogEntry> log;
  std::string console;
};

const Case cases[] = {
    {"lines routed by prefix",
     {"line:C: to console", "line:S: to log", "line:B: to both", "line:R: {\"a\":1}"},
     "{\"a\":1}",
     {{"S ", "to log"}, {"B ", "to both"}},
     "to console\nto both\n"},
    {"the second of two result lines wins",
     {"line:R: {\"first\":1}", "line:R: {\"second\":2}"}, "{\"second\":2}", {}, ""},
    {"a line of 9000 bytes read in three blocks",
     {"long:9000:S: ", "line:R: {}"}, "{}", {{"S ", std::string(9000, 'x')}}, ""},
    {"a line whose LF ends the first block, then one that starts the second",
     {"long:4091:S: ", "line:S: next", "line:R: {}"}, "{}",
     {{"S ", std::string(4091, 'x')}, {"S ", "next"}}, ""},
    {"a line whose CR ends the first block and LF starts the second",
     {"long:4092:S: ", "line:R: {}"}, "{}", {{"S ", std::string(4092, 'x')}}, ""},
    {"an unterminated last result line is ignored",
     {"line:R: {\"kept\":1}", "raw:R: {\"lost\":2}"}, "{\"kept\":1}", {}, ""},
    {"a bare LF loses the last visible character",
     {"bare:S: abc", "bare:R: {\"a\":1}"}, "{\"a\":1", {{"S ", "ab"}}, ""},
    {"a bare LF right after a line end gives an empty unknown line",
     {"line:S: a", "bare:", "line:R: {}"}, "{}", {{"S ", "a"}, {"S ", unknown}}, ""},
    {"an empty line and unknown prefixes are logged whole",
     {"line:", "line:X: odd", "line:s: lower", "line:S:no blank", "line:R: {}"}, "{}",
     {{"S ", unknown}, {"S ", unknown + "X: odd"}, {"S ", unknown + "s: lower"},
      {"S ", unknown + "S:no blank"}},
     ""},
    {"standard error shares the pipe", {"stderr:S: from stderr", "line:R: {}"}, "{}",
     {{"S ", "from stderr"}}, ""},
    {"a zero-length write does not end the output",
     {"line:S: before", "empty-write", "line:S: after", "line:R: {}"}, "{}",
     {{"S ", "before"}, {"S ", "after"}}, ""},
};

TEST(RunChild, RoutesTheFakeChildsLines) {
  for (const Case& c : cases) {
    OutputWatch capture(OutputWatch::kConsoleCaptured);
    EXPECT_EQ(RunChild(FakeChildCommand(), ScriptRequest(c.script), kTestChildBoundMs), c.result)
        << c.name;
    EXPECT_EQ(capture.Log(), c.log) << c.name;
    EXPECT_EQ(capture.Console(), c.console) << c.name;
  }
}

TEST(RunChild, HandsOverTheRequestWholeThenEndOfInput) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  std::string request = ScriptRequest({"request:S: got ", "line:R: {}"});
  EXPECT_EQ(RunChild(FakeChildCommand(), request, kTestChildBoundMs), "{}");
  const std::vector<LogEntry> expected = {{"S ", "got " + request}};
  EXPECT_EQ(capture.Log(), expected);
}

TEST(RunChild, MissingExecutableIsALaunchFailure) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  EXPECT_EQ(RunChild("no_such_corvana_child.exe", "{}", kTestChildBoundMs), launchFailed);
  std::string message = "ERROR: CreateProcess failed: " + ErrorCodeText(2);
  const std::vector<LogEntry> expected = {{"B ", message}};
  EXPECT_EQ(capture.Log(), expected);
  EXPECT_EQ(capture.Console(), message + "\n");
  EXPECT_NE(message.find(" (2)"), std::string::npos);
}

TEST(RunChild, NonZeroExitAfterAResultIsLoggedOnce) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  std::string command = FakeChildCommand();
  EXPECT_EQ(RunChild(command, ScriptRequest({"line:R: {\"ok\":true}", "exit:1"}), kTestChildBoundMs),
            "{\"ok\":true}");
  std::vector<LogEntry> log = capture.Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].category, "S ");
  std::string head = "ERROR: " + command + " Abnormal child exit code: (1) Last error: ";
  EXPECT_EQ(log[0].message.substr(0, head.size()), head) << log[0].message;
  EXPECT_NE(log[0].message.find("(109)"), std::string::npos) << log[0].message;
}

// A child past its bound is ended: without the bound this child would answer after a minute.
TEST(RunChild, EndsAChildStillRunningAtItsBound) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  const std::string command = FakeChildCommand();
  EXPECT_EQ(RunChild(command, ScriptRequest({"line:S: started", "sleep:60000", "line:R: {\"late\":1}"}),
                     2000),
            noResults);
  const std::string ended = "ERROR: " + command + " did not end within 2 s and was ended";
  EXPECT_EQ(capture.Count(ended), 1) << capture.Console();
  EXPECT_NE(capture.Console().find(ended + "\n"), std::string::npos);
  EXPECT_EQ(capture.Count("started"), 1);
  EXPECT_EQ(capture.Count("ERROR: " + command + " ended without an answer"), 1);
}

const std::string dropped =
    "ERROR: dropped a child's message line longer than " + std::to_string(kMessageLineCap) + " bytes";

TEST(RunChild, DropsALineLongerThanTheCapAndReadsOn) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  EXPECT_EQ(RunChild(FakeChildCommand(),
                     ScriptRequest({"long:" + std::to_string(kMessageLineCap + 10) + ":R: ",
                                    "line:S: after", "line:R: {\"kept\":1}"}),
                     kTestChildBoundMs),
            "{\"kept\":1}");
  const std::vector<LogEntry> expected = {{"B ", dropped}, {"S ", "after"}};
  EXPECT_EQ(capture.Log(), expected);
}

// An endless line costs no more memory than the cap, and the bound ends its child.
TEST(RunChild, AnEndlessLineIsDroppedOnceAndItsChildEndedAtTheBound) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  const std::string command = FakeChildCommand();
  EXPECT_EQ(RunChild(command, ScriptRequest({"line:R: {\"early\":1}", "endless:R: "}), 10000),
            "{\"early\":1}");
  EXPECT_EQ(capture.Count(dropped), 1);
  EXPECT_EQ(capture.Count("ERROR: " + command + " did not end within 10 s and was ended"), 1)
      << capture.Console();
}

// Whatever the child's output does, the runner is done with the child only once it has ended, by
// itself or at its bound, and then nothing it started runs on: a helper started with its handles
// (holding its output pipe) or without them (its output closed), and a child that closes its own
// output first. An exit code is read only from an ended child; the answer sent before is kept.
TEST(RunChild, LeavesNothingRunningOnceTheChildHasEnded) {
  const std::string heldPipe = "spawn:own-pid:{helper};sleep:60000";
  // The helper tells its id before its output closes, so that it is known before it is ended.
  const std::string closedPipe = "spawn:own-pid:{helper};close-output;sleep:60000";
  struct Case {
    const char* name;
    std::vector<std::string> script;  // {helper} stands for the helper's id file
    DWORD boundMs;
    bool abandoned, endedAtBound;
    const char* exitCode;  // in the abnormal exit line; nullptr: no such line
    const char* leftEnded; // the end of the line on processes left running; nullptr: no such line
  } const cases[] = {
      {"the child ends, its helper holds the pipe", {heldPipe, "line:R: {\"a\":1}", "exit:0"},
       kTestChildBoundMs, true, false, nullptr,
       " has ended, but 1 process it started was still running: it was ended"},
      {"the child ends, its helper has closed its output",
       {closedPipe, "line:R: {\"a\":1}", "exit:0"}, kTestChildBoundMs, false, false, nullptr,
       " has ended, but 1 process it started was still running: it was ended"},
      {"the child hangs past its bound with its helper",
       {heldPipe, "line:R: {\"a\":1}", "sleep:60000"}, 2000, false, true, "(1)", nullptr},
      {"the child closes its output and hangs past its bound",
       {"line:R: {\"a\":1}", "close-output", "sleep:60000"}, 2000, false, true, "(1)", nullptr},
      {"the child closes its output and ends a moment later",
       {"line:R: {\"a\":1}", "close-output", "sleep:500", "exit:3"}, kTestChildBoundMs, false,
       false, "(3)", nullptr},
  };
  for (const Case& c : cases) {
    OutputWatch capture(OutputWatch::kConsoleCaptured);
    TempDir dir;
    const std::string command = FakeChildCommand();
    std::vector<std::string> script = {"own-pid:" + dir.File("child.pid")};
    bool withHelper = false;
    for (std::string step : c.script) {
      const size_t mark = step.find("{helper}");
      if (mark != std::string::npos) {
        step.replace(mark, 8, dir.File("helper.pid"));
        withHelper = true;
      }
      script.push_back(step);
    }
    const unsigned endedBefore = ChildrenEndedAtTheirBound();

    EXPECT_EQ(RunChild(command, ScriptRequest(script), c.boundMs), "{\"a\":1}") << c.name;
    SpawnedProcess child(dir.File("child.pid"));
    ASSERT_TRUE(child.idWritten()) << c.name;
    EXPECT_FALSE(child.Running()) << c.name;
    if (withHelper) {
      SpawnedProcess helper(dir.File("helper.pid"));
      ASSERT_TRUE(helper.idWritten()) << c.name;
      EXPECT_FALSE(helper.Running()) << c.name;
    }
    EXPECT_EQ(ChildrenEndedAtTheirBound() - endedBefore, c.endedAtBound ? 1u : 0u) << c.name;
    const std::string abandoned = "ERROR: " + command +
                                  " has ended, but its output pipe was still open 3 s later (held "
                                  "by a process it started): the pipe was abandoned";
    EXPECT_EQ(capture.Count(abandoned), c.abandoned ? 1 : 0) << c.name << capture.Console();
    EXPECT_EQ(capture.Count("ERROR: " + command + " did not end within 2 s and was ended"),
              c.endedAtBound ? 1 : 0)
        << c.name;
    const std::string abnormal = "ERROR: " + command + " Abnormal child exit code: ";
    std::vector<std::string> abnormalLines, leftLines;
    for (const std::string& message : capture.Messages()) {
      if (message.compare(0, abnormal.size(), abnormal) == 0) abnormalLines.push_back(message);
      if (message.find(" process") != std::string::npos &&
          message.find("still running") != std::string::npos) {
        leftLines.push_back(message);
      }
    }
    if (c.exitCode == nullptr) {
      EXPECT_EQ(abnormalLines, std::vector<std::string>()) << c.name;
    } else {
      ASSERT_EQ(abnormalLines.size(), 1u) << c.name << capture.Console();
      EXPECT_EQ(abnormalLines[0].substr(abnormal.size(), 3), c.exitCode) << abnormalLines[0];
    }
    if (c.leftEnded == nullptr) {
      EXPECT_EQ(leftLines, std::vector<std::string>()) << c.name;
    } else {
      EXPECT_EQ(leftLines, std::vector<std::string>{"ERROR: " + command + c.leftEnded}) << c.name;
    }
    // 259 is "still active": the code of a process that has not ended.
    EXPECT_EQ(capture.LogText().find("(259)"), std::string::npos) << c.name << capture.LogText();
  }
}

// A child that gave no answer is named once, and so is an answer that lacks its line feed; the
// runner returns its "No results" error object all the same.
TEST(RunChild, NamesAChildThatEndedWithoutAnAnswer) {
  const char* const unfinished = " (its last line had no line feed)";
  struct Case {
    const char* name;
    std::vector<std::string> script;
    const char* says;
  } const cases[] = {
      {"a child that prints nothing", {"exit:0"}, ""},
      {"only message lines", {"line:S: working", "exit:0"}, ""},
      {"an exit code of its own", {"exit:2"}, ""},
      {"only an unterminated result line", {"raw:R: {\"lost\":2}"}, unfinished},
      {"a result line cut after its carriage return", {"raw:R: {}\r"}, unfinished},
      {"an unfinished message line", {"line:S: working", "raw:S: half"}, unfinished},
  };
  for (const Case& c : cases) {
    OutputWatch capture(OutputWatch::kConsoleCaptured);
    const std::string command = FakeChildCommand();
    EXPECT_EQ(RunChild(command, ScriptRequest(c.script), kTestChildBoundMs), noResults) << c.name;
    std::vector<LogEntry> named;
    for (const LogEntry& entry : capture.Log()) {
      if (entry.message.find("without an answer") != std::string::npos) named.push_back(entry);
    }
    const std::vector<LogEntry> expected = {
        {"B ", "ERROR: " + command + " ended without an answer" + c.says}};
    EXPECT_EQ(named, expected) << c.name;
  }
}

// A flood of short lines costs the run log no more than the child's caps; what comes after it,
// the answer among it, is still read.
TEST(RunChild, LogsAChildsLinesUpToItsCapsAndReadsOn) {
  OutputWatch capture(OutputWatch::kConsoleCaptured);
  const std::string command = FakeChildCommand();
  const unsigned long flood = kChildLogLineCap + 500;
  const std::string floodCommand = "stderr-repeat:" + std::to_string(flood) + ":S: f";
  EXPECT_EQ(RunChild(command,
                     ScriptRequest({"line:C: to console", floodCommand, "line:C: still to console",
                                    "line:R: {\"kept\":1}"}),
                     kTestChildBoundMs),
            "{\"kept\":1}");
  EXPECT_EQ(capture.Count("f"), int(kChildLogLineCap));
  EXPECT_EQ(capture.Count("ERROR: dropped 500 message lines (2000 bytes) of " + command +
                          " past the run log's cap of " + std::to_string(kChildLogLineCap) +
                          " lines or " + std::to_string(kChildLogByteCap) + " bytes per child"),
            1)
      << capture.Console().substr(capture.Console().size() - 400);
  EXPECT_NE(capture.Console().find("still to console\n"), std::string::npos);
}

TEST(ChildLogBudget, RefusesEveryLineFromTheFirstOnePastACap) {
  struct Case {
    const char* name;
    std::vector<size_t> lines;
    std::vector<bool> admitted;
    unsigned long long droppedLines, droppedBytes;
  } const cases[] = {
      {"within both caps", {4, 4, 2}, {true, true, true}, 0, 0},
      {"the line cap", {1, 1, 1, 1}, {true, true, true, false}, 1, 1},
      {"the byte cap, and a short line after it", {6, 5, 1}, {true, false, false}, 2, 6},
      {"a line of exactly the bytes left", {6, 4}, {true, true}, 0, 0},
      {"an empty line counts as a line", {0, 0, 0, 0}, {true, true, true, false}, 1, 0},
  };
  for (const Case& c : cases) {
    ChildLogBudget budget(3, 10);
    std::vector<bool> admitted;
    for (size_t bytes : c.lines) admitted.push_back(budget.Admit(bytes));
    EXPECT_EQ(admitted, c.admitted) << c.name;
    EXPECT_EQ(budget.droppedLines(), c.droppedLines) << c.name;
    EXPECT_EQ(budget.droppedBytes(), c.droppedBytes) << c.name;
  }
}

// Each drop is told where the child wrote the dropped line: "-" stands for it among the lines.
TEST(CappedLineCutter, DropsOnlyTheLinesThatOutgrowTheCapInTheirPlace) {
  struct Case {
    const char* name;
    std::vector<std::string> blocks;
    std::vector<std::string> seen;
  } const cases[] = {
      {"a line of the cap's length is kept", {"12345678", "\r\n"}, {"12345678"}},
      {"also when its carriage return is carried", {"12345678\r", "\n"}, {"12345678"}},
      {"one longer, ended in the same block", {"123456789\r\nok\r\n"}, {"-", "ok"}},
      {"one longer between two lines of one block", {"a\r\n123456789\r\nb\r\n"},
       {"a", "-", "b"}},
      {"grown past the cap in the block that ends it, before the next line",
       {"1234567", "89\r\nafter\r\n"}, {"-", "after"}},
      {"a longer line is dropped up to its line feed", {"123456789", "0\r\nnext\r\n"},
       {"-", "next"}},
      {"a dropped line spans many blocks", {"123456789", "abcdefghij", "klm\r", "\nR: {}\r\n"},
       {"-", "R: {}"}},
      {"two long lines are two drops", {"123456789", "\r\n", "abcdefghi", "\r\nok\r\n"},
       {"-", "-", "ok"}},
  };
  for (const Case& c : cases) {
    CappedLineCutter cutter(8);
    std::vector<std::string> seen;
    for (const std::string& block : c.blocks) {
      std::vector<std::string> lines;
      const std::vector<size_t> drops = cutter.Cut(block.data(), block.size(), lines);
      size_t drop = 0;
      for (size_t i = 0; i <= lines.size(); ++i) {
        for (; drop < drops.size() && drops[drop] == i; ++drop) seen.push_back("-");
        if (i < lines.size()) seen.push_back(lines[i]);
      }
    }
    EXPECT_EQ(seen, c.seen) << c.name;
  }
}

}  // namespace
