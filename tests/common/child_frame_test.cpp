// The child frame on its own: this program links the frame library and nothing of the run log,
// so it also shows that the frame needs no process-wide object.
#include "common/child_frame.h"

#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/child_answer.h"

namespace {
enum class Ending { Normally, BadAlloc, StdError, Other };

Ending ending = Ending::Normally;

constexpr int kTestIncomplete = 5;
constexpr int kTestDone = 0;

void TestWork(ChildRun& run) {
  AppendResultEntry(run.result, "benchmarks", "fast", ReadFastMode(run));
  run.exitCode = kTestDone;
  switch (ending) {
    case Ending::Normally: break;
    case Ending::BadAlloc: throw std::bad_alloc();
    case Ending::StdError: throw std::runtime_error("boom");
    case Ending::Other: throw 42;
  }
  run.status = " with errors";
}

const ChildProgram withAllocationHandler = {
    "TEST_KEY", "jsondebug word", "ERROR: invalid", "INFO: launch", "INFO: exit",
    {"ERROR: memory: ", "ERROR: standard: ", "ERROR: unknown"}, kTestIncomplete, TestWork};
ChildProgram WithoutAllocationHandler() {
  ChildProgram program = withAllocationHandler;
  program.handlers.allocation = nullptr;
  return program;
}

struct Case {
  const char* shows;
  ChildProgram program;
  std::string request;
  Ending ending;
  std::string output;
  int exitCode;
};

TEST(ChildFrame, LinesAndExitCodeOfEachWayThrough) {
  const std::string launch = "B: INFO: launch\n";
  const Case cases[] = {
      {"a run to its end", withAllocationHandler, "{\"TEST_KEY\":false}", Ending::Normally,
       launch + "B: INFO: exit with errors\nR: {\"benchmarks\":[{\"fast\":false}]}\n", kTestDone},
      {"the fast mode asked for by the request", withAllocationHandler, "{\"TEST_KEY\":true}",
       Ending::Normally,
       launch + "S: WARN: TEST_KEY mode\nB: INFO: exit with errors\n"
                "R: {\"benchmarks\":[{\"fast\":true}]}\n",
       kTestDone},
      {"a request without the key", withAllocationHandler, "{\"OTHER\":1}", Ending::Normally,
       "S: ERROR: invalid\n", kTestIncomplete},
      {"a request that is no object", withAllocationHandler, "[1]", Ending::Normally,
       "S: ERROR: invalid\n", kTestIncomplete},
      {"a request that does not parse", withAllocationHandler, "", Ending::Normally,
       "B: ERROR: standard: parse error at line 1, column 1: syntax error while parsing value - unexpected end of input; "
       "expected '[', '{', or a literal\n",
       kTestIncomplete},
      {"a key of another type", withAllocationHandler, "{\"TEST_KEY\":1}", Ending::Normally,
       launch + "B: ERROR: standard: type must be boolean, but is number\n", kTestIncomplete},
      {"an allocation failure with its own handler", withAllocationHandler, "{\"TEST_KEY\":false}",
       Ending::BadAlloc, launch + "B: ERROR: memory: std::bad_alloc\n", kTestDone},
      {"an allocation failure without one", WithoutAllocationHandler(), "{\"TEST_KEY\":false}",
       Ending::BadAlloc, launch + "B: ERROR: standard: std::bad_alloc\n", kTestDone},
      {"a standard exception", withAllocationHandler, "{\"TEST_KEY\":false}", Ending::StdError,
       launch + "B: ERROR: standard: boom\n", kTestDone},
      {"anything else", withAllocationHandler, "{\"TEST_KEY\":false}", Ending::Other,
       launch + "B: ERROR: unknown\n", kTestDone},
  };
  for (const Case& c : cases) {
    ending = c.ending;
    std::istringstream in(c.request);
    std::ostringstream out;
    EXPECT_EQ(RunChildFrame(c.program, {}, in, out), c.exitCode) << c.shows;
    EXPECT_EQ(out.str(), c.output) << c.shows;
  }
}

TEST(ChildFrame, WordsOfADebugRun) {
  ending = Ending::Normally;
  std::istringstream in("not read");
  std::ostringstream out;
  // The pause's shell command finds no key to wait for on an empty input.
  RunChildFrame(withAllocationHandler, {"runfast", "other", "jsondebug", "runfast"}, in, out);
  const std::string words =
      "S: WARN: Running in fast mode\nS: jsondebug word\nS: WARN: Running in fast mode\n"
      "B: INFO: launch\n";
  EXPECT_EQ(out.str().rfind(words, 0), 0u) << out.str();
  EXPECT_NE(out.str().find("R: {\"benchmarks\":[{\"fast\":true}]}\nCOMPLETED OK - WAITING FOR INPUT\n"),
            std::string::npos)
      << out.str();
}

// A firmware or driver text with bytes that are not UTF-8, in a value or in a key, still gives an
// answer line: those bytes come as their Latin-1 characters, everything else as it was.
TEST(ChildAnswer, ResultLineWithTextsThatAreNotUtf8) {
  struct Case {
    const char* shows;
    nlohmann::json result;
    std::string line;
  };
  const Case cases[] = {
      {"nothing added", nullptr, "R: null\n"},
      {"valid texts and numbers unchanged",
       {{"benchmarks", {{{"read", 95.5}}}}, {"componentInfo", {{{"phyModel", "Caf\xC3\xA9 \xE2\x82\xAC"}}}}},
       "R: {\"benchmarks\":[{\"read\":95.5}],\"componentInfo\":[{\"phyModel\":\"Caf\xC3\xA9 \xE2\x82\xAC\"}]}\n"},
      {"a maker with 0xE9 and a part number padded with 0xFF",
       {{"componentInfo", {{{"phyModel", "Maker\xE9 PN\xFF\xFF"}}}}},
       "R: {\"componentInfo\":[{\"phyModel\":\"Maker\xC3\xA9 PN\xC3\xBF\xC3\xBF\"}]}\n"},
      {"a text cut inside a character, at the top level and as a key",
       {{"gpuHWBios", "90.04\xC3"}, {"name\xE9", true}},
       "R: {\"gpuHWBios\":\"90.04\xC3\x83\",\"name\xC3\xA9\":true}\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    std::ostringstream out;
    EXPECT_NO_THROW(PrintResultLine(c.result, out));
    EXPECT_EQ(out.str(), c.line);
  }
}
}  // namespace
