// The drive phase, the sustained-write stage and the end of a run as processes: the drive run
// driver runs them on crafted drives with the fake child as CVNDriveBench.exe beside it, each
// drive and suite following its own script; and one real run of the engine, which finds no drive.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/text_helpers.h"
#include "tests/support/engine_run.h"
#include "tests/support/payload_decoder.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_dir.h"

namespace {
using nlohmann::json;

struct DriveRun {
  ProcessResult process;
  bool resultFile = false;
  json document;  // read back from "rawresults.dat"

  bool Printed(const std::string& line) const {
    for (std::string printed : SplitLines(process.output)) {
      if (!printed.empty() && printed.back() == '\r') printed.pop_back();
      if (printed == line) return true;
    }
    return false;
  }
  int PrintedStartingWith(const std::string& start) const {
    int count = 0;
    for (const std::string& printed : SplitLines(process.output)) {
      if (printed.rfind(start, 0) == 0) ++count;
    }
    return count;
  }
  bool Logged(const std::string& message) const {
    for (const json& line : document["logs"]) {
      const std::string text = line.get<std::string>();
      if (text.size() >= message.size() &&
          text.compare(text.size() - message.size(), message.size(), message) == 0) {
        return true;
      }
    }
    return false;
  }
};

DriveRun RunDriver(const TempDir& dir, const json& scenario,
                   const std::map<std::string, std::string>& scripts) {
  dir.Copy(BinDir() + "\\drive_run_driver.exe", "drive_run_driver.exe");
  dir.Copy(BinDir() + "\\fake_child.exe", "CVNDriveBench.exe");
  dir.Write("drives.json", scenario.dump());
  for (const auto& script : scripts) dir.Write(script.first, script.second);
  DriveRun run;
  run.process = RunProgram(dir.File("drive_run_driver.exe"), "", "", dir.path(), 300000);
  run.resultFile = dir.Exists("rawresults.dat");
  if (run.resultFile) {
    run.document = json::parse(DecodeResultFile(dir.Read("rawresults.dat")), nullptr, false);
  }
  return run;
}

json Drive(const std::string& letter, int disk, int freeGB) {
  return {{"letter", letter}, {"disk", disk}, {"freeGB", freeGB}};
}

std::string CoreAnswer(const std::string& speed) {
  return "line:B: core run\nline:R: {\"benchmarks\":[{\"sequentialWrite\":" + speed +
         "}],\"componentInfo\":[{\"driveModel\":\"fake\"}]}\n";
}
const char kSustainedAnswer[] = "sleep:1500\nline:R: {\"benchmarks\":[{\"sustainedWrite\":900}]}\n";

TEST(DriveRun, ParksTheDrivesWithBenchmarksAndAppendsTheirSustainedWrites) {
  // Targets by free space, one per disk: D:, F:, G:, E:, H: (C: shares D:'s disk).
  const json scenario = {{"batchTimeMs", 60000},
                         {"batchLimit", 2},
                         {"drives",
                          {Drive("C:", 0, 40), Drive("D:", 0, 300), Drive("E:", 1, 10),
                           Drive("F:", 2, 50), Drive("G:", 3, 20), Drive("H:", 4, 5)}}};
  TempDir dir;
  const DriveRun run =
      RunDriver(dir, scenario,
                {{"CVNDriveBench.D.Core.script", CoreAnswer("2000")},
                 {"CVNDriveBench.F.Core.script", CoreAnswer("2000")},
                 {"CVNDriveBench.G.Core.script", CoreAnswer("2000")},
                 {"CVNDriveBench.E.Core.script", "line:R: {\"componentInfo\":[{\"note\":\"none\"}]}\n"},
                 {"CVNDriveBench.H.Core.script", "line:R: not json\n"},
                 {"CVNDriveBench.D.SustainedWrite.script", kSustainedAnswer},
                 {"CVNDriveBench.F.SustainedWrite.script", kSustainedAnswer},
                 {"CVNDriveBench.G.SustainedWrite.script", kSustainedAnswer}});
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.document.is_object()) << run.process.output;

  // E: and H: brought no benchmarks and stand first; the parked drives follow in key order. Each
  // batch holds one drive of 2000 MB/s: D: went in the first, F: in the second, and then the
  // batch limit kept G: at its core data.
  std::vector<std::string> order;
  for (const json& component : run.document["components"]) {
    order.push_back(component["componentInfo"]["basePath"].get<std::string>());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"E:", "H:", "D:", "F:", "G:"}));
  const json& components = run.document["components"];
  EXPECT_EQ(components[0]["componentInfo"]["note"], "none");
  EXPECT_FALSE(components[0].contains("benchmarks"));
  EXPECT_EQ(components[2]["benchmarks"], json({{"sequentialWrite", "2000"}, {"sustainedWrite", "900"}}));
  EXPECT_EQ(components[2]["componentInfo"]["driveModel"], "fake");
  EXPECT_EQ(components[3]["benchmarks"], json({{"sequentialWrite", "2000"}, {"sustainedWrite", "900"}}));
  EXPECT_EQ(components[4]["benchmarks"], json({{"sequentialWrite", "2000"}}));
  EXPECT_EQ(run.document["systemInfo"]["clientCrashed"], "true");  // H:'s answer was not JSON

  EXPECT_TRUE(run.Printed("INFO: Gathering drive info"));
  EXPECT_TRUE(run.Printed("INFO: Launching sustained write bench on D:"));
  EXPECT_TRUE(run.Printed("INFO: Queuing sustained write bench on F:"));
  EXPECT_TRUE(run.Printed("INFO: Launching sustained write bench on F:"));
  EXPECT_TRUE(run.Printed("INFO: Reached limit of 2 sustained write batches, skipping further "
                          "benchmarks."));
  EXPECT_GE(run.PrintedStartingWith("INFO: Waiting for sustained writes ... "), 1);
  EXPECT_FALSE(run.Printed("INFO: Launching sustained write bench on G:"));
  EXPECT_EQ(run.PrintedStartingWith("ERROR: Sustained write"), 0);
  EXPECT_TRUE(run.Logged("INFO: Skipping C:"));
  EXPECT_TRUE(run.Logged("INFO: Launching drive test suite"));
  EXPECT_TRUE(run.Logged("INFO: Completed Core drive benchmarks on H:"));
  EXPECT_EQ(run.PrintedStartingWith("ERROR: DriveBench failed with error: "), 1);
  EXPECT_TRUE(run.Logged("INFO: Collecting sustained write bench results for G:"));
}

// A core run that sent its answer and then hung: ended at its bound, its answer counts (the drive
// is parked and gets its sustained write), and the run is marked crashed.
TEST(DriveRun, ACoreRunEndedAtItsBoundKeepsItsAnswerAndCrashesTheRun) {
  const json scenario = {{"batchTimeMs", 60000},
                         {"batchLimit", 5},
                         {"coreBoundMs", 3000},
                         {"drives", {Drive("C:", 0, 40)}}};
  TempDir dir;
  const DriveRun run =
      RunDriver(dir, scenario,
                {{"CVNDriveBench.C.Core.script", CoreAnswer("100") + "sleep:60000\n"},
                 {"CVNDriveBench.C.SustainedWrite.script", kSustainedAnswer}});
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.document.is_object()) << run.process.output;

  const std::string ended = "ERROR: CVNDriveBench.exe did not end within 3 s and was ended";
  EXPECT_TRUE(run.Printed(ended)) << run.process.output;
  EXPECT_TRUE(run.Logged(ended));
  ASSERT_EQ(run.document["components"].size(), 1u);
  const json& drive = run.document["components"][0];
  EXPECT_EQ(drive["componentInfo"]["driveModel"], "fake");
  EXPECT_EQ(drive["benchmarks"], json({{"sequentialWrite", "100"}, {"sustainedWrite", "900"}}));
  EXPECT_EQ(run.document["systemInfo"]["clientCrashed"], "true");
}

TEST(DriveRun, EndsWhileASustainedWriteStillRunsPastTheTimeLimit) {
  const json scenario = {
      {"batchTimeMs", 2500}, {"batchLimit", 5}, {"drives", {Drive("C:", 0, 40)}}};
  TempDir dir;
  const DriveRun run = RunDriver(
      dir, scenario,
      {{"CVNDriveBench.C.Core.script", CoreAnswer("100")},
       {"CVNDriveBench.C.SustainedWrite.script",
        "line:B: writing\nsleep:8000\ntouch:sustained-write-done\n"
        "line:R: {\"benchmarks\":[{\"sustainedWrite\":900}]}\n"}});
  // The run has ended while its child still writes.
  const bool childStillRan = !dir.Exists("sustained-write-done");
  EXPECT_EQ(run.process.exitCode, 0) << run.process.output;
  EXPECT_FALSE(run.process.timedOut);
  EXPECT_TRUE(childStillRan);
  ASSERT_TRUE(run.document.is_object()) << run.process.output;

  EXPECT_TRUE(run.Printed("ERROR: Sustained write timed out, aborted additional launches."))
      << run.process.output;
  EXPECT_TRUE(run.Printed("ERROR: Sustained write job timed out."));
  EXPECT_TRUE(run.Logged("ERROR: Sustained write job timed out."));
  EXPECT_EQ(run.PrintedStartingWith("INFO: Completed all benchmarks in "), 1);
  const json& drive = run.document["components"][0];
  EXPECT_EQ(drive["benchmarks"], json({{"sequentialWrite", "100"}}));

  // Let the child finish before its folder goes.
  for (int i = 0; i < 300 && !dir.Exists("sustained-write-done"); ++i) Sleep(50);
  Sleep(500);
}

// A drive's sustained-write answer that cannot be merged costs only that drive's sustained-write
// members; the run writes its file with every other drive.
TEST(DriveRun, ASustainedWriteAnswerThatCannotBeMergedCostsOnlyItsDrivesMembers) {
  const json scenario = {{"batchTimeMs", 60000},
                         {"batchLimit", 5},
                         {"drives", {Drive("C:", 0, 40), Drive("D:", 1, 30), Drive("E:", 2, 20)}}};
  TempDir dir;
  const DriveRun run = RunDriver(
      dir, scenario,
      {{"CVNDriveBench.C.Core.script", CoreAnswer("100")},
       {"CVNDriveBench.D.Core.script", CoreAnswer("100")},
       {"CVNDriveBench.E.Core.script", CoreAnswer("100")},
       {"CVNDriveBench.C.SustainedWrite.script", "line:R: {not json\n"},
       {"CVNDriveBench.D.SustainedWrite.script",
        "line:R: {\"componentInfo\":[{\"swNote\":\"ok\"},{\"size\":5}]}\n"},
       {"CVNDriveBench.E.SustainedWrite.script", kSustainedAnswer}});
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.document.is_object()) << run.process.output;
  EXPECT_EQ(run.PrintedStartingWith("error: "), 0) << run.process.output;

  const json& components = run.document["components"];
  ASSERT_EQ(components.size(), 3u) << run.process.output;
  for (int i : {0, 1}) {
    EXPECT_EQ(components[i]["benchmarks"], json({{"sequentialWrite", "100"}})) << i;
    EXPECT_FALSE(components[i]["componentInfo"].contains("swNote")) << i;
  }
  EXPECT_EQ(components[2]["benchmarks"], json({{"sequentialWrite", "100"}, {"sustainedWrite", "900"}}));
  EXPECT_EQ(run.PrintedStartingWith(
                "ERROR: DriveBench sustained write on C: failed with error: parse error at line 1"),
            1)
      << run.process.output;
  EXPECT_EQ(run.PrintedStartingWith("ERROR: DriveBench sustained write on D: failed with error: "
                                    "type must be string"),
            1)
      << run.process.output;
  EXPECT_EQ(run.document["systemInfo"]["clientCrashed"], "true");
}

// An empty answer finishes its job like any other, so the next batch starts at once.
TEST(DriveRun, ASustainedWriteAnsweringAnEmptyResultLetsTheNextBatchStart) {
  const json scenario = {
      {"batchTimeMs", 60000}, {"batchLimit", 5}, {"drives", {Drive("C:", 0, 40), Drive("D:", 1, 30)}}};
  TempDir dir;
  const DriveRun run = RunDriver(dir, scenario,
                                 {{"CVNDriveBench.C.Core.script", CoreAnswer("2000")},
                                  {"CVNDriveBench.D.Core.script", CoreAnswer("2000")},
                                  {"CVNDriveBench.C.SustainedWrite.script", "line:R: \n"},
                                  {"CVNDriveBench.D.SustainedWrite.script", kSustainedAnswer}});
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  ASSERT_TRUE(run.document.is_object()) << run.process.output;
  EXPECT_TRUE(run.Printed("INFO: Launching sustained write bench on D:")) << run.process.output;
  EXPECT_EQ(run.PrintedStartingWith("ERROR: Sustained write"), 0) << run.process.output;
  const json& components = run.document["components"];
  ASSERT_EQ(components.size(), 2u);
  EXPECT_EQ(components[0]["benchmarks"], json({{"sequentialWrite", "2000"}}));
  EXPECT_EQ(components[1]["benchmarks"], json({{"sequentialWrite", "2000"}, {"sustainedWrite", "900"}}));
  EXPECT_EQ(run.document["systemInfo"]["clientCrashed"], "false");
}

TEST(DriveRun, ARealRunFindsNoDriveAndDoesNotWait) {
  const EngineRun run = RunEngine(EngineRunSetup());
  ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
  EXPECT_TRUE(run.Printed("INFO: Gathering drive info"));
  EXPECT_EQ(run.process.output.find("INFO: Waiting for"), std::string::npos) << run.process.output;
  EXPECT_EQ(run.process.output.find("sustained write bench"), std::string::npos);
  const json document = json::parse(run.resultDocument, nullptr, false);
  ASSERT_TRUE(document.is_object());
  for (const json& component : document["components"]) {
    ASSERT_TRUE(component.contains("componentInfo"));
    EXPECT_NE(component["componentInfo"].value("familyGroup", ""), "Drive");
  }
  bool launched = false;
  for (const json& line : document["logs"]) {
    launched = launched || line.get<std::string>().find("INFO: Launching drive test suite") !=
                               std::string::npos;
  }
  EXPECT_TRUE(launched);
}

TEST(DriveRun, EndsWhileAChattyJobStillWritesWithNoLineCut) {
  // The sustained write prints lines without pause for far longer than the run lasts.
  const std::string chatter = "chatter 0123456789abcdefghijklmnopqrstuvwxyz";
  std::string script;
  for (int i = 0; i < 2500; ++i) script += "repeat:20:B: " + chatter + "\nsleep:5\n";
  script += "touch:chatter-done\n";
  const json scenario = {
      {"batchTimeMs", 2500}, {"batchLimit", 5}, {"drives", {Drive("C:", 0, 40)}}};
  TempDir dir;
  const DriveRun run = RunDriver(dir, scenario,
                                 {{"CVNDriveBench.C.Core.script", CoreAnswer("100")},
                                  {"CVNDriveBench.C.SustainedWrite.script", script}});
  const bool childStillRan = !dir.Exists("chatter-done");
  EXPECT_EQ(run.process.exitCode, 0) << run.process.output.substr(0, 2000);
  EXPECT_FALSE(run.process.timedOut);
  EXPECT_TRUE(childStillRan);

  // The console: every line whole, the last one ended, the job's lines among the engine's own.
  const std::string& output = run.process.output;
  ASSERT_FALSE(output.empty());
  EXPECT_EQ(output.back(), '\n');
  int chatterLines = 0;
  for (std::string line : SplitLines(output)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find("chatter") == std::string::npos) continue;
    ++chatterLines;
    EXPECT_EQ(line, chatter);
  }
  EXPECT_GT(chatterLines, 100);
  EXPECT_EQ(run.PrintedStartingWith("INFO: Completed all benchmarks in "), 1);

  // The result file: whole, its log holding whole job lines only.
  ASSERT_TRUE(run.resultFile);
  ASSERT_TRUE(run.document.is_object());
  int loggedChatter = 0;
  for (const json& line : run.document["logs"]) {
    const std::string text = line.get<std::string>();
    if (text.find("chatter") == std::string::npos) continue;
    ++loggedChatter;
    EXPECT_EQ(text.substr(text.size() - chatter.size() - 1), " " + chatter);
  }
  EXPECT_GT(loggedChatter, 0);

  // Let the child finish before its folder goes.
  for (int i = 0; i < 600 && !dir.Exists("chatter-done"); ++i) Sleep(50);
  Sleep(500);
}

TEST(DriveRun, AnExceptionOfUnknownTypeEndsTheRunWithZeroAndNoFile) {
  struct Case {
    const char* shows;
    bool jsondebug;
  } const cases[] = {
      {"start", false},
      {"jsondebug: its ending follows the error line", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    const json scenario = {{"batchTimeMs", 60000},
                           {"batchLimit", 5},
                           {"drives", json::array()},
                           {"unknownException", true},
                           {"jsondebug", c.jsondebug}};
    TempDir dir;
    const DriveRun run = RunDriver(dir, scenario, {});
    EXPECT_EQ(run.process.exitCode, 0) << run.process.output;
    EXPECT_FALSE(run.resultFile);
    const std::vector<std::string> lines = SplitLines(run.process.output);
    std::vector<std::string> tail;
    bool afterError = false;
    for (std::string line : lines) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line == "Exception of unknown type!") afterError = true;
      if (afterError) tail.push_back(line);
    }
    std::vector<std::string> expected = {"Exception of unknown type!"};
    if (c.jsondebug) expected.push_back("COMPLETED OK");
    // pause's own prompt may follow; the engine prints nothing else.
    ASSERT_GE(tail.size(), expected.size()) << run.process.output;
    EXPECT_EQ(std::vector<std::string>(tail.begin(), tail.begin() + expected.size()), expected)
        << run.process.output;
    EXPECT_EQ(run.PrintedStartingWith("INFO: Completed all benchmarks in "), 0);
    EXPECT_EQ(run.process.output.find("DEBUG ADMIN JSON"), std::string::npos);
  }
}

// The seam makes zlib's init or deflate refuse when the result file is written: the run fails
// with the reason and leaves the older file as it was.
TEST(DriveRun, ACompressionFailureFailsTheRunAndKeepsTheOlderFile) {
  struct Case {
    const char* refusing;
    const char* error;
  } const cases[] = {
      {"init", "error: zlib could not compress the result document: deflateInit gave -4 "
               "(insufficient memory)"},
      {"deflate", "error: zlib could not compress the result document: deflate gave -2 "
                  "(stream error)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refusing);
    const json scenario = {
        {"batchTimeMs", 60000}, {"batchLimit", 5}, {"drives", json::array()}, {"zlibRefuses", c.refusing}};
    TempDir dir;
    dir.Write("rawresults.dat", "rawBenchData=older");
    const DriveRun run = RunDriver(dir, scenario, {});
    EXPECT_EQ(run.process.exitCode, 1) << run.process.output;
    EXPECT_TRUE(run.Printed(c.error)) << run.process.output;
    EXPECT_EQ(dir.Read("rawresults.dat"), "rawBenchData=older");
    for (const std::string& name : dir.Names()) EXPECT_FALSE(EndsWith(name, ".partial")) << name;
  }
}
}  // namespace
