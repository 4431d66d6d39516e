// The run engine as a real process: its command line, the debug output and the result file.
#include <windows.h>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "common/text_helpers.h"
#include "tests/support/engine_run.h"
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

// The names of partial files among these.
std::set<std::string> PartialNames(const std::set<std::string>& names) {
  std::set<std::string> partial;
  for (const std::string& name : names) {
    if (EndsWith(name, ".partial")) partial.insert(name);
  }
  return partial;
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

// The result file is replaced only by a whole new one; when it cannot be, the run says so and fails.
// Either way the partial file it wrote is gone, and an older version's stale one stays as it was.
TEST(EngineResultFile, IsReplacedWholeOrTheRunFailsAndKeepsTheOlderOne) {
  const std::string older = "rawBenchData=older";
  struct Case {
    const char* what;
    bool readOnly;
    bool folder;
    int exitCode;
  } const cases[] = {
      {"an older file is replaced", false, false, 0},
      {"a read-only older file stays", true, false, 1},
      {"a folder of that name stays", false, true, 1},
  };
  for (const Case& c : cases) {
    EngineRunSetup setup;
    setup.word = "jsondebug";
    if (c.folder) {
      setup.folders.insert("rawresults.dat");
    } else {
      setup.files["rawresults.dat"] = older;
    }
    if (c.readOnly) setup.readOnlyFiles.insert("rawresults.dat");
    setup.files["rawresults.dat.partial"] = "rawBenchData=stale";
    const EngineRun run = RunEngine(setup);
    EXPECT_EQ(run.process.exitCode, c.exitCode) << c.what << "\n" << run.process.output;
    EXPECT_EQ(PartialNames(run.folderAfterRun), std::set<std::string>{"rawresults.dat.partial"})
        << c.what;
    EXPECT_EQ(run.folderAfterRun.count("rawresults.dat"), 1u) << c.what;
    if (c.exitCode == 0) {
      EXPECT_TRUE(nlohmann::json::parse(run.resultDocument, nullptr, false).is_object()) << c.what;
      EXPECT_TRUE(run.Printed("COMPLETED OK")) << c.what;
      continue;
    }
    EXPECT_TRUE(run.Printed("error: " + ErrorCodeText(ERROR_ACCESS_DENIED))) << c.what << "\n"
                                                                           << run.process.output;
    EXPECT_FALSE(run.Printed("COMPLETED OK")) << c.what;
    EXPECT_EQ(run.resultFile, c.folder ? "" : older) << c.what;
  }
}

// A partial file of an earlier version may be anything, a link to another file among them: the
// engine neither reuses nor removes it, whatever its mode, and every later run writes its own file.
// (Links, which Wine shows as plain files, are checked by result_file_check.py.)
TEST(EngineResultFile, AStalePartialFileStaysAndEveryLaterRunWritesItsFile) {
  struct Case {
    const char* what;
    bool folder;
    DWORD attributes;
  } const cases[] = {
      {"a read-only partial file", false, FILE_ATTRIBUTE_READONLY},
      {"a read-only, hidden system file", false,
       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
      {"an empty read-only folder", true, FILE_ATTRIBUTE_READONLY},
      {"a folder with a file in it", true, FILE_ATTRIBUTE_NORMAL},
  };
  const DWORD modes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  for (const Case& c : cases) {
    LoneEngine engine;
    const std::string partial = engine.dir.File("rawresults.dat.partial");
    if (c.folder) {
      ASSERT_TRUE(CreateDirectoryA(partial.c_str(), nullptr)) << c.what;
      engine.dir.Write("rawresults.dat.partial\\kept.txt", "kept");
    } else {
      engine.dir.Write("rawresults.dat.partial", "rawBenchData=stale");
    }
    ASSERT_TRUE(SetFileAttributesA(partial.c_str(), c.attributes)) << c.what;
    // As the platform keeps it: Wine keeps no read-only mode of a folder.
    const DWORD staleMode = GetFileAttributesA(partial.c_str()) & modes;
    for (int run = 1; run <= 2; ++run) {
      const ProcessResult result = engine.Run("start");
      EXPECT_EQ(result.exitCode, 0) << c.what << ", run " << run << "\n" << result.output;
      EXPECT_EQ(PartialNames(engine.dir.Names()), std::set<std::string>{"rawresults.dat.partial"})
          << c.what << ", run " << run;
      EXPECT_EQ(GetFileAttributesA(partial.c_str()) & modes, staleMode)
          << c.what << ", run " << run;
      const std::string kept =
          c.folder ? "rawresults.dat.partial\\kept.txt" : "rawresults.dat.partial";
      EXPECT_EQ(engine.dir.Read(kept), c.folder ? "kept" : "rawBenchData=stale")
          << c.what << ", run " << run;
      const DWORD attributes = GetFileAttributesA(engine.dir.File("rawresults.dat").c_str());
      ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << c.what << ", run " << run;
      EXPECT_EQ(attributes & modes, 0u) << c.what << ", run " << run;
      const std::string document = DecodeResultFile(engine.dir.Read("rawresults.dat"));
      EXPECT_TRUE(nlohmann::json::parse(document, nullptr, false).is_object())
          << c.what << ", run " << run;
    }
    // The folder can go with the test.
    SetFileAttributesA(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}
