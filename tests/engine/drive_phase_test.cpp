// The drive phase on drive records of the test's own, with a child runner and a job launcher that
// answer from plain data.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/child_runner.h"
#include "engine/child_time_limits.h"
#include "engine/phases.h"
#include "tests/support/fake_child_script.h"
#include "tests/support/output_watch.h"

namespace {
// The runner is a plain function pointer: its answers and the requests it saw live here.
std::map<std::string, std::string> answers;  // by requested drive
std::vector<std::pair<std::string, std::string>> runs;

std::string AnswerFromTable(const std::string& commandLine, const std::string& requestText,
                            DWORD timeLimitMs) {
  EXPECT_EQ(timeLimitMs, kDriveCoreTimeLimitMs);
  runs.emplace_back(commandLine, requestText);
  for (const auto& answer : answers) {
    if (requestText.find("\"" + answer.first + "\"") != std::string::npos) return answer.second;
  }
  return kRunnerNoResults;
}

DriveRecord Target(const std::string& basePath, int freeGB, int phyIndex) {
  DriveRecord record;
  record.basePath = basePath;
  record.freeGB = freeGB;
  record.phyIndex = phyIndex;
  return record;
}

TEST(RunDrivePhase, RunsTheCoreSuitePerTargetAndParksTheDrivesWithBenchmarks) {
  answers = {
      {"C:", R"({"benchmarks":[{"sequentialWrite":480.5}],"componentInfo":[{"model":"x"}]})"},
      {"D:", R"({"componentInfo":[{"model":"y"}]})"},
      {"E:", "not json"},
  };
  runs.clear();
  RunState run;
  std::vector<std::string> launched;
  OutputWatch watch(OutputWatch::kConsoleCaptured);
  RunDrivePhase(
      run,
      [](SystemInfo& info) {
        info.drives = {Target("C:", 300, 0), Target("D:", 200, 1), Target("E:", 100, 2),
                       Target("F:", 50, 3)};
      },
      AnswerFromTable,
      [&launched](BenchJob* job) {
        std::unique_ptr<BenchJob> owned(job);
        launched.push_back(owned->benchName + " " + owned->requestText);
      });

  EXPECT_EQ(runs, (std::vector<std::pair<std::string, std::string>>{
                      {"CVNDriveBench.exe",
                       R"({"DRIVE_RUNFAST_DEV":false,"DRIVE_TARGETDRIVE":"C:","DRIVE_TESTSUITE":"Core"})"},
                      {"CVNDriveBench.exe",
                       R"({"DRIVE_RUNFAST_DEV":false,"DRIVE_TARGETDRIVE":"D:","DRIVE_TESTSUITE":"Core"})"},
                      {"CVNDriveBench.exe",
                       R"({"DRIVE_RUNFAST_DEV":false,"DRIVE_TARGETDRIVE":"E:","DRIVE_TESTSUITE":"Core"})"},
                      {"CVNDriveBench.exe",
                       R"({"DRIVE_RUNFAST_DEV":false,"DRIVE_TARGETDRIVE":"F:","DRIVE_TESTSUITE":"Core"})"}}));

  // C: is parked with its core data; D:, E: (not JSON) and F: (no result line) are components.
  ASSERT_EQ(run.pendingSustainedWrites.count("C:"), 1u);
  const Tree& parked = run.pendingSustainedWrites.at("C:");
  EXPECT_EQ(parked.get<std::string>("componentInfo.familyGroup"), "Drive");
  EXPECT_EQ(parked.get<std::string>("componentInfo.model"), "x");
  EXPECT_EQ(parked.get<std::string>("benchmarks.sequentialWrite"), "480.5");
  std::vector<std::string> pushed;
  for (const auto& component : run.components) {
    pushed.push_back(component.second.get<std::string>("componentInfo.basePath"));
  }
  EXPECT_EQ(pushed, (std::vector<std::string>{"D:", "E:", "F:"}));
  EXPECT_EQ(run.components.front().second.get<std::string>("componentInfo.model"), "y");
  EXPECT_EQ(launched, (std::vector<std::string>{
                          R"(C: {"DRIVE_MEASURED_SW_MBPS":480.5,"DRIVE_RUNFAST_DEV":false,)"
                          R"("DRIVE_TARGETDRIVE":"C:","DRIVE_TESTSUITE":"SustainedWrite"})"}));
  EXPECT_EQ(run.launchedSustainedWrites, LaunchedSustainedWrites{"C:"});
  EXPECT_TRUE(run.clientCrashed);

  // Only the answer that was not JSON is an error; the child without a result line is not.
  int errors = 0;
  for (const std::string& message : watch.Messages()) {
    if (message.rfind("ERROR: DriveBench failed with error: ", 0) == 0) {
      ++errors;
      EXPECT_NE(message.find(" (not json)"), std::string::npos) << message;
    }
  }
  EXPECT_EQ(errors, 1);
  for (const char* drive : {"C:", "D:", "E:", "F:"}) {
    EXPECT_EQ(watch.Count(std::string("INFO: Completed Core drive benchmarks on ") + drive), 1)
        << drive;
  }
  EXPECT_EQ(watch.Console().rfind("INFO: Gathering drive info\n", 0), 0u) << watch.Console();
  EXPECT_EQ(watch.Count("INFO: Launching drive test suite"), 1);
}
// A core run past its bound costs only its drive: the runner ends the child and the next drive runs.
TEST(RunDrivePhase, ADriveWhoseChildOutlastsItsBoundIsPushedWithItsFactsAndTheNextRuns) {
  RunState run;
  OutputWatch watch(OutputWatch::kConsoleCaptured);
  RunDrivePhase(
      run,
      [](SystemInfo& info) { info.drives = {Target("C:", 300, 0), Target("D:", 200, 1)}; },
      [](const std::string&, const std::string& requestText, DWORD) {
        const bool hangs = requestText.find("\"C:\"") != std::string::npos;
        return RunChild(FakeChildCommand(),
                        ScriptRequest({hangs ? "sleep:60000" : "line:R: {\"componentInfo\":[{\"model\":\"y\"}]}"}),
                        hangs ? 2000 : kTestChildBoundMs);
      },
      [](BenchJob* job) { delete job; });

  std::vector<std::string> pushed;
  for (const auto& component : run.components) {
    pushed.push_back(component.second.get<std::string>("componentInfo.basePath"));
  }
  EXPECT_EQ(pushed, (std::vector<std::string>{"C:", "D:"}));
  EXPECT_EQ(run.components.front().second.get<std::string>("componentInfo.model", ""), "");
  EXPECT_EQ(run.components.back().second.get<std::string>("componentInfo.model", ""), "y");
  EXPECT_TRUE(run.pendingSustainedWrites.empty());
  EXPECT_EQ(watch.Count("ERROR: " + FakeChildCommand() + " did not end within 2 s and was ended"), 1)
      << watch.Console();
  EXPECT_EQ(watch.Count("INFO: Completed Core drive benchmarks on D:"), 1);
}
}  // namespace
