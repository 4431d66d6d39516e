// Sustained-write batches and the stage that waits for them, on a clock and jobs of the test's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/benchdrive/drive_requests.h"
#include "engine/benchdrive/sustained_write_batch.h"
#include "engine/sustained_write_stage.h"
#include "tests/support/output_watch.h"

namespace {
// A parked drive's component as the drive phase leaves it; speed is the JSON text of the core
// run's "sequentialWrite", none when empty.
Tree Parked(const std::string& speed) {
  Tree component;
  component.add("componentInfo.familyGroup", "Drive");
  if (!speed.empty()) component.add("benchmarks.sequentialWrite", speed);
  return component;
}

// Records the jobs a batch launches instead of starting them.
struct RecordedJobs {
  std::vector<BenchJob> jobs;
  JobLauncher Launcher() {
    return [this](BenchJob* job) {
      std::unique_ptr<BenchJob> owned(job);
      jobs.push_back(*owned);
    };
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const BenchJob& job : jobs) names.push_back(job.benchName);
    return names;
  }
};

TEST(DriveRequests, AreCompactWithTheirKeysInOrder) {
  EXPECT_EQ(DriveCoreRequest("C:"),
            R"({"DRIVE_RUNFAST_DEV":false,"DRIVE_TARGETDRIVE":"C:","DRIVE_TESTSUITE":"Core"})");
  EXPECT_EQ(SustainedWriteRequest("D:", 480.5),
            R"({"DRIVE_MEASURED_SW_MBPS":480.5,"DRIVE_RUNFAST_DEV":false,)"
            R"("DRIVE_TARGETDRIVE":"D:","DRIVE_TESTSUITE":"SustainedWrite"})");
  EXPECT_EQ(SustainedWriteRequest("C:", 2000), R"({"DRIVE_MEASURED_SW_MBPS":2000,)"
                                               R"("DRIVE_RUNFAST_DEV":false,"DRIVE_TARGETDRIVE":)"
                                               R"("C:","DRIVE_TESTSUITE":"SustainedWrite"})");
}

TEST(LaunchSustainedWriteBatch, KeepsEachBatchAtOrBelow2500MegabytesPerSecond) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> speeds;
    std::vector<std::vector<std::string>> batches;  // launched per call
    std::vector<std::string> firstCallLog;
  };
  const Case cases[] = {
      {"a slower drive still joins after a faster one was queued",
       {{"C:", "2000"}, {"D:", "600"}, {"E:", "400"}},
       {{"C:", "E:"}, {"D:"}, {}},
       {"INFO: Launching sustained write bench on C:", "INFO: Queuing sustained write bench on D:",
        "INFO: Launching sustained write bench on E:"}},
      {"a drive faster than the limit forms a batch of its own",
       {{"C:", "3000"}, {"D:", "100"}},
       {{"C:"}, {"D:"}, {}},
       {"INFO: Launching sustained write bench on C:",
        "INFO: Queuing sustained write bench on D:"}},
      {"exactly 2500 still joins", {{"C:", "1250"}, {"D:", "1250"}}, {{"C:", "D:"}, {}}, {}},
      {"a string speed counts as 0",
       {{"C:", "2500"}, {"D:", "\"fast\""}, {"E:", ""}},
       {{"C:", "D:", "E:"}, {}},
       {}},
  };
  for (const Case& c : cases) {
    PendingSustainedWrites pending;
    for (const auto& speed : c.speeds) pending[speed.first] = Parked(speed.second);
    LaunchedSustainedWrites launched;
    for (size_t call = 0; call < c.batches.size(); ++call) {
      RecordedJobs recorded;
      OutputWatch log(OutputWatch::kConsoleCaptured);
      LaunchSustainedWriteBatch(pending, launched, recorded.Launcher());
      EXPECT_EQ(recorded.Names(), c.batches[call]) << c.name << ", call " << call;
      if (call == 0 && !c.firstCallLog.empty()) {
        EXPECT_EQ(log.Messages(), c.firstCallLog) << c.name;
        for (const LogEntry& entry : log.Log()) EXPECT_EQ(entry.category, "B ") << c.name;
      }
      if (c.batches[call].empty()) {
        EXPECT_EQ(log.Messages().size(), 0u) << c.name;
      }
    }
  }
}

TEST(LaunchSustainedWriteBatch, SendsEachDriveItsMeasuredSpeed) {
  PendingSustainedWrites pending = {{"C:", Parked("2000")}, {"D:", Parked("\"fast\"")},
                                    {"E:", Parked("480.5")}};
  LaunchedSustainedWrites launched;
  RecordedJobs recorded;
  OutputWatch log(OutputWatch::kConsoleCaptured);
  LaunchSustainedWriteBatch(pending, launched, recorded.Launcher());
  ASSERT_EQ(recorded.jobs.size(), 3u);  // 2000 + 0 + 480.5
  EXPECT_EQ(recorded.jobs[0].commandLine, "CVNDriveBench.exe");
  EXPECT_EQ(recorded.jobs[0].requestText, SustainedWriteRequest("C:", 2000));
  EXPECT_EQ(recorded.jobs[1].requestText, SustainedWriteRequest("D:", 0));
  EXPECT_EQ(recorded.jobs[2].requestText, SustainedWriteRequest("E:", 480.5));
  EXPECT_EQ(launched, (LaunchedSustainedWrites{"C:", "D:", "E:"}));
}

// A run's stage on a clock of the test's own: each sleep moves it on by one second, and each
// drive's job finishes a given time after its launch.
struct StageRun {
  RunState run;
  uint32_t now = 0;
  std::map<std::string, uint32_t> jobTimeMs;  // per drive; missing: 10 s
  std::map<std::string, uint32_t> finishesAt;
  int launches = 0;
  std::vector<std::string> requests;

  void Park(const std::string& drive, const std::string& speed) {
    run.pendingSustainedWrites[drive] = Parked(speed);
  }
  SustainedWriteWaits Waits() {
    SustainedWriteWaits waits;
    waits.elapsedMs = [this] { return now; };
    waits.sleep = [this] { now += 1000; };
    waits.allFinished = [this] {
      for (const auto& job : finishesAt) {
        if (job.second > now) return false;
      }
      return true;
    };
    waits.launchBatch = [this](const PendingSustainedWrites& pending,
                               LaunchedSustainedWrites& launched) {
      ++launches;
      LaunchSustainedWriteBatch(pending, launched, [this](BenchJob* job) {
        std::unique_ptr<BenchJob> owned(job);
        const auto time = jobTimeMs.find(job->benchName);
        finishesAt[job->benchName] = now + (time != jobTimeMs.end() ? time->second : 10000);
        requests.push_back(job->benchName);
      });
    };
    return waits;
  }
  // The drive phase's first batch, then a graphics phase of the given length, then the stage.
  void Run(uint32_t graphicsMs) {
    const SustainedWriteWaits waits = Waits();
    run.batchStart = now;
    waits.launchBatch(run.pendingSustainedWrites, run.launchedSustainedWrites);
    now += graphicsMs;
    WaitForSustainedWrites(run, waits);
  }
};

std::vector<std::string> Countdown(const std::string& text, int from, int to) {
  std::vector<std::string> lines;
  for (int n = from; n >= to; --n) lines.push_back(text + std::to_string(n));
  return lines;
}
const char kWaitLine[] = "INFO: Waiting for sustained writes ... ";
const char kFinalLine[] = "INFO: Waiting for final batch of sustained writes ... ";
const char kTimedOut[] = "ERROR: Sustained write timed out, aborted additional launches.";
const char kJobTimedOut[] = "ERROR: Sustained write job timed out.";

std::vector<std::string> ConsoleLines(const OutputWatch& watch) {
  std::vector<std::string> lines;
  std::istringstream text(watch.Console());
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}
std::vector<std::string> Joined(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(WaitForSustainedWrites, WaitsForEachBatchAndLaunchesTheNext) {
  StageRun stage;
  stage.Park("C:", "2000");
  stage.Park("D:", "600");
  stage.Park("E:", "400");
  OutputWatch watch(OutputWatch::kConsoleCaptured);
  stage.Run(4000);  // the graphics phase counts against the first batch

  EXPECT_EQ(stage.requests, (std::vector<std::string>{"C:", "E:", "D:"}));
  EXPECT_EQ(stage.launches, 2);
  EXPECT_EQ(
      ConsoleLines(watch),
      Joined({{"INFO: Launching sustained write bench on C:",
               "INFO: Queuing sustained write bench on D:",
               "INFO: Launching sustained write bench on E:"},
              Countdown(kWaitLine, 56, 51),
              {"INFO: Launching sustained write bench on D:"},
              Countdown(kFinalLine, 60, 51)}));
  EXPECT_EQ(watch.Count(kTimedOut) + watch.Count(kJobTimedOut), 0);
}

TEST(WaitForSustainedWrites, StopsLaunchingAtTheBatchLimit) {
  StageRun stage;
  for (const char* drive : {"A:", "B:", "C:", "D:", "E:", "F:"}) stage.Park(drive, "2000");
  OutputWatch watch(OutputWatch::kConsoleCaptured);
  stage.Run(0);
  EXPECT_EQ(stage.requests, (std::vector<std::string>{"A:", "B:", "C:", "D:", "E:"}));
  EXPECT_EQ(stage.launches, 5);
  EXPECT_EQ(watch.Count("INFO: Reached limit of 5 sustained write batches, skipping further "
                        "benchmarks."),
            1);
  // The limit comes after the fifth batch has finished, so the final wait finds nothing to wait
  // for.
  EXPECT_EQ(ConsoleLines(watch).back(),
            "INFO: Reached limit of 5 sustained write batches, skipping further benchmarks.");
  EXPECT_EQ(watch.Count(kTimedOut) + watch.Count(kJobTimedOut), 0);
}

TEST(WaitForSustainedWrites, ABatchStillRunningAtItsLimitStopsFurtherLaunches) {
  StageRun stage;
  stage.Park("C:", "3000");
  stage.Park("D:", "100");
  stage.jobTimeMs["C:"] = 200000;
  OutputWatch watch(OutputWatch::kConsoleCaptured);
  stage.Run(0);
  EXPECT_EQ(stage.requests, std::vector<std::string>{"C:"});
  EXPECT_EQ(stage.launches, 1);
  // 75 polls from 60 down to -14, then both error lines one after the other.
  EXPECT_EQ(ConsoleLines(watch),
            Joined({{"INFO: Launching sustained write bench on C:",
                     "INFO: Queuing sustained write bench on D:"},
                    Countdown(kWaitLine, 60, -14),
                    {kTimedOut, kJobTimedOut}}));
}

TEST(WaitForSustainedWrites, AGraphicsPhaseLongerThanAMinuteStartsTheCountdownBelowZero) {
  StageRun stage;
  stage.Park("C:", "100");
  stage.jobTimeMs["C:"] = 63000;
  OutputWatch watch(OutputWatch::kConsoleCaptured);
  stage.Run(61500);
  EXPECT_EQ(ConsoleLines(watch), Joined({{"INFO: Launching sustained write bench on C:"},
                                         Countdown(kWaitLine, -1, -2)}));
}

TEST(WaitForSustainedWrites, WithoutParkedDrivesItOnlyCallsTheLauncherOnceMore) {
  StageRun stage;
  OutputWatch watch(OutputWatch::kConsoleCaptured);
  stage.Run(0);
  EXPECT_EQ(stage.launches, 2);
  EXPECT_EQ(watch.Console(), "");
  EXPECT_EQ(watch.Messages().size(), 0u);
}

TEST(WaitForSustainedWrites, WaitsInRealTimeUntilTheLimit) {
  RunState run;
  run.pendingSustainedWrites["C:"] = Parked("100");
  SustainedWriteWaits waits = RunSustainedWriteWaits(timeGetTime());
  waits.batchTimeMs = 2500;
  waits.allFinished = [] { return false; };  // a job that never ends
  int launches = 0;
  waits.launchBatch = [&launches](const PendingSustainedWrites&, LaunchedSustainedWrites&) {
    ++launches;
  };
  run.batchStart = waits.elapsedMs();
  OutputWatch watch(OutputWatch::kConsoleCaptured);
  WaitForSustainedWrites(run, waits);

  const std::vector<std::string> lines = ConsoleLines(watch);
  ASSERT_GE(lines.size(), 3u);
  const size_t waitLines = lines.size() - 2;
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + waitLines),
            Countdown(kWaitLine, 60, 60 - static_cast<int>(waitLines) + 1));
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{kTimedOut, kJobTimedOut}));
  EXPECT_EQ(launches, 0);
}

TEST(CollectSustainedWriteResults, AppendsTheRepliesToTheParkedComponentsInKeyOrder) {
  RunState run;
  run.pendingSustainedWrites["D:"] = Parked("600");
  run.pendingSustainedWrites["C:"] = Parked("2000");
  run.pendingSustainedWrites["E:"] = Parked("400");
  run.components.push_back(Tree::value_type("", Tree("graphics")));
  const std::map<std::string, std::string> results = {
      {"C:", R"({"benchmarks":[{"sequentialWrite":1900.5,"sustainedWrite":800}],)"
             R"("componentInfo":[{"swNote":"ok"}]})"},
      {"D:", R"({"BENCHRUNNER_ERROR":"No results retured from child"})"},
  };
  OutputWatch log;
  CollectSustainedWriteResults(run, [&results](const std::string& name) {
    const auto found = results.find(name);
    return found != results.end() ? found->second : std::string();
  });

  EXPECT_EQ(log.Messages(),
            (std::vector<std::string>{"INFO: Collecting sustained write bench results for C:",
                                      "INFO: Collecting sustained write bench results for D:",
                                      "INFO: Collecting sustained write bench results for E:"}));
  ASSERT_EQ(run.components.size(), 4u);
  auto component = std::next(run.components.begin());
  const Tree& c = component->second;
  std::vector<std::pair<std::string, std::string>> benchmarks;
  for (const auto& entry : c.get_child("benchmarks")) {
    benchmarks.emplace_back(entry.first, entry.second.data());
  }
  EXPECT_EQ(benchmarks, (std::vector<std::pair<std::string, std::string>>{
                            {"sequentialWrite", "2000"},
                            {"sequentialWrite", "1900.5"},
                            {"sustainedWrite", "800"}}));
  EXPECT_EQ(c.get<std::string>("componentInfo.swNote"), "ok");
  // A runner error and a drive never launched keep the core run's data.
  EXPECT_EQ((++component)->second, Parked("600"));
  EXPECT_EQ((++component)->second, Parked("400"));
}

// A nesting of the given depth in arrays.
std::string Nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(CollectSustainedWriteResults, AnAnswerThatCannotBeMergedCostsOnlyItsDrivesMembers) {
  struct Case {
    const char* name;
    std::string reply;
    std::string error;  // the start of the exception's text in the error line
  } const cases[] = {
      // The JSON library's errors without their "[json.exception...] " head.
      {"not JSON", "R: garbage", "parse error at line 1, column 1: syntax error"},
      {"a wrong type after a good member",
       R"({"componentInfo":[{"swNote":"ok"},{"size":5}]})",
       "type must be string, but is number"},
      {"a key that extends the core run's value",
       R"({"benchmarks":[{"sequentialWrite.peak":1}]})",
       "key benchmarks.sequentialWrite.peak extends the value under benchmarks.sequentialWrite"},
      {"a key with an empty segment", R"({"benchmarks":[{"peak.":1}]})",
       "key \"benchmarks.peak.\" has an empty segment"},
      {"2000 levels deep", R"({"benchmarks":[{"x":)" + Nested(2000) + "}]}",
       "reply nested deeper than 256 levels"},
  };
  for (const Case& c : cases) {
    RunState run;
    run.pendingSustainedWrites["C:"] = Parked("2000");
    run.pendingSustainedWrites["D:"] = Parked("600");
    OutputWatch watch(OutputWatch::kConsoleCaptured);
    CollectSustainedWriteResults(run, [&c](const std::string& name) -> std::string {
      return name == "C:" ? c.reply : R"({"benchmarks":[{"sustainedWrite":800}]})";
    });

    ASSERT_EQ(run.components.size(), 2u) << c.name;
    EXPECT_EQ(run.components.front().second, Parked("2000")) << c.name;
    EXPECT_EQ(run.components.back().second.get<std::string>("benchmarks.sustainedWrite", ""), "800")
        << c.name;
    EXPECT_TRUE(run.clientCrashed) << c.name;
    int errors = 0;
    for (const LogEntry& entry : watch.Log()) {
      if (entry.message.rfind("ERROR: ", 0) != 0) continue;
      ++errors;
      const std::string head = "ERROR: DriveBench sustained write on C: failed with error: " + c.error;
      EXPECT_EQ(entry.message.rfind(head, 0), 0u) << c.name << ": " << entry.message;
      const std::string tail = " (" + c.reply + ")";
      EXPECT_EQ(entry.message.substr(entry.message.size() - std::min(tail.size(), entry.message.size())),
                tail)
          << c.name;
      EXPECT_EQ(entry.category, "B ") << c.name;
    }
    EXPECT_EQ(errors, 1) << c.name;
    Tree document;
    document.add_child("components", run.components);
    EXPECT_NO_THROW(WriteDocument(document)) << c.name;
  }
}
}  // namespace
