// The run engine as a real process: its command line, the debug output and the result file.
#include <algorithm>

#include <gtest/gtest.h>

#include "tests/support/payload_decoder.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_dir.h"

namespace {
// The engine alone in a fresh folder: no children beside it, so no benchmark really runs.
struct LoneEngine {
  TempDir dir;
  LoneEngine() { EXPECT_TRUE(dir.Copy(BinDir() + "\\CorvanaRunEngine.exe", "CorvanaRunEngine.exe")); }
  ProcessResult Run(const std::string& args) {
    return RunProgram(dir.File("CorvanaRunEngine.exe"), args, "", dir.path());
  }
};

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}
}  // namespace

TEST(EngineCommandLine, RefusesAnythingButOneExactWord) {
  struct Case {
    const char* what;
    const char* args;
  } const cases[] = {
      {"no argument", ""},
      {"two arguments", "start jsondebug"},
      {"capital letter", "Start"},
      {"trailing blank inside the argument", "\"start \""},
  };
  for (const Case& c : cases) {
    LoneEngine engine;
    ProcessResult result = engine.Run(c.args);
    EXPECT_EQ(result.exitCode, 1) << c.what;
    EXPECT_EQ(result.output, "Error: Invalid Configuration\r\n") << c.what;
    EXPECT_FALSE(engine.dir.Exists("rawresults.dat")) << c.what;
  }
}

TEST(EngineCommandLine, JsonDebugPrintsTheDocumentThatTheFileHolds) {
  LoneEngine engine;
  ProcessResult result = engine.Run("jsondebug");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  const std::string output = WithoutCarriageReturns(result.output);
  EXPECT_EQ(output.rfind("Running in jsondebug mode\n", 0), 0u) << output;

  const std::string open = std::string(40, '-') + "DEBUG ADMIN JSON" + std::string(44, '-') + "\n";
  const std::string close = std::string(40, '-') + "END DEBUG ADMIN JSON" + std::string(40, '-') + "\n";
  ASSERT_EQ(open.size(), 101u);
  ASSERT_EQ(close.size(), 101u);
  const size_t begin = output.find(open);
  const size_t end = output.find("\n" + close);
  ASSERT_NE(begin, std::string::npos) << output;
  ASSERT_NE(end, std::string::npos) << output;
  const std::string printed = output.substr(begin + open.size(), end - begin - open.size());
  EXPECT_NE(output.find(close + "COMPLETED OK\n"), std::string::npos) << output;

  const std::string document = DecodeResultFile(engine.dir.Read("rawresults.dat"));
  EXPECT_EQ(document, printed);
  EXPECT_EQ(document.back(), '\n');
  EXPECT_EQ(document.rfind("{\n    \"systemInfo\": {\n", 0), 0u) << document;
  for (const char* key : {"\"userRunDurationSecs\"", "\"clientCrashed\"", "\"components\"", "\"logs\""}) {
    EXPECT_NE(document.find(key), std::string::npos) << key;
  }
}
