#include "cpubench/cpu_benchmark.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "cpubench/cpu_worker.h"

TEST(CpuScore, AmountPerMillisecondInThousands) {
  EXPECT_DOUBLE_EQ(CpuScore(27000000.0, 700), 38.6);
  EXPECT_DOUBLE_EQ(CpuScore(0.0, 100), 0.0);
}

TEST(CpuAmount, CountTimesModeWeight) {
  struct Case {
    int mode;
    double amount;
  } const cases[] = {{0, 270000.0}, {1, 270000.0}, {2, 540000.0}};
  for (const Case& c : cases) {
    BenchThreadRecord record;
    record.mode = c.mode;
    record.count = 10;
    EXPECT_DOUBLE_EQ(CpuAmount(record), c.amount) << cpuModeNames[c.mode];
  }
}

TEST(CpuLabels, SixtyFourWorkersAreKeyedAs32Core) {
  EXPECT_EQ(CpuKeyLabel(1), "1Core");
  EXPECT_EQ(CpuKeyLabel(8), "8Core");
  EXPECT_EQ(CpuKeyLabel(64), "32Core");
  EXPECT_EQ(CpuConsoleLabel(64), "64Core");
}

TEST(PerformanceSamples, ZeroSamplesAreLeftOut) {
  PerformanceSamples samples;
  for (double s : {0.0, 95.0, 105.0}) samples.Add(s);
  EXPECT_EQ(samples.number, 2);
  EXPECT_DOUBLE_EQ(samples.sum / samples.number, 100.0);
}

// Fast runs of the real driver with the sampler replaced by a fixed sequence.
class CpuDriver : public ::testing::Test {
 protected:
  int Run(std::vector<double> sequence, ThreadStarter startThread = StartWaitableThread) {
    values = sequence;
    return RunCpuBenchmarks(
        result, true, false, out,
        [this] {
          ++calls;
          return calls <= values.size() ? values[calls - 1] : 0.0;
        },
        startThread);
  }
  std::vector<double> values;
  size_t calls = 0;
  nlohmann::json result;
  std::ostringstream out;
};

TEST_F(CpuDriver, FastRunScoresSixEntriesAndAveragesTheMultiThreadSamples) {
  ASSERT_EQ(Run({50.0, 0.0, 95.0, 105.0}), 0);
  // The first value only switches sampling on; the 2-worker rounds give the mean.
  EXPECT_EQ(calls, 4u);
  const char* const keys[] = {"1CoreIntCPUBench", "1CoreFloatCPUBench", "1CoreMixedCPUBench",
                              "2CoreIntCPUBench", "2CoreFloatCPUBench", "2CoreMixedCPUBench"};
  ASSERT_EQ(result["benchmarks"].size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    const auto& entry = result["benchmarks"][i];
    ASSERT_TRUE(entry.contains(keys[i])) << entry.dump();
    EXPECT_GT(entry[keys[i]].get<double>(), 0.0) << keys[i];
  }
  EXPECT_EQ(result["componentInfo"], nlohmann::json::parse(R"([{"maxCPUFreqPerc":100.0}])"));
  const std::string text = out.str();
  EXPECT_NE(text.find("B: INFO: Running 1 core CPU benchmark ...\n"), std::string::npos);
  EXPECT_NE(text.find("C: INFO: 2Core Mixed total throughput: "), std::string::npos);
  EXPECT_EQ(text.find("Unable to detect"), std::string::npos);
}

TEST_F(CpuDriver, NoFirstValueStopsSamplingAndLeavesNoComponentInfo) {
  ASSERT_EQ(Run({0.0, 95.0, 105.0, 100.0}), 0);
  EXPECT_EQ(calls, 1u);
  EXPECT_EQ(out.str().rfind("B: INFO: Unable to detect maximum CPU Frequency\n", 0), 0u);
  EXPECT_FALSE(result.contains("componentInfo"));
  EXPECT_EQ(result["benchmarks"].size(), 6u);
}

namespace {
int startsBeforeFailure = 0;
// Starts real workers until the budget is used up, then fails like an exhausted runtime.
HANDLE StartThenFail(ThreadEntry entry, void* argument) {
  if (startsBeforeFailure-- <= 0) {
    errno = EAGAIN;
    return nullptr;
  }
  return StartWaitableThread(entry, argument);
}
}  // namespace

TEST_F(CpuDriver, FailedThreadStartKeepsEarlierScoresAndDropsTheMean) {
  // 1 worker for each of the three 1Core rounds, then the second worker of the first 2Core round.
  startsBeforeFailure = 4;
  ASSERT_EQ(Run({50.0, 95.0, 95.0, 95.0}, StartThenFail), 1);
  EXPECT_NE(out.str().find("B: ERROR: Thread start error " + std::to_string(EAGAIN) + "\n"),
            std::string::npos)
      << out.str();
  ASSERT_EQ(result["benchmarks"].size(), 3u);
  EXPECT_TRUE(result["benchmarks"][2].contains("1CoreMixedCPUBench"));
  EXPECT_FALSE(result.contains("componentInfo"));
}

TEST_F(CpuDriver, SamplerExceptionReachesTheCallerOnlyAfterTheWorkersEnded) {
  // The first 2-worker round's sample throws; its workers use buffers that unwinding frees.
  size_t samplerCalls = 0;
  EXPECT_THROW(RunCpuBenchmarks(
                   result, true, false, out,
                   [&]() -> double {
                     if (++samplerCalls == 2) throw std::runtime_error("sampler failed");
                     return 50.0;
                   }),
               std::runtime_error);
  EXPECT_EQ(stopFlag.load(), 1) << "the round was left with its workers running";
  EXPECT_EQ(samplerCalls, 2u);
  EXPECT_EQ(result["benchmarks"].size(), 3u);
}
