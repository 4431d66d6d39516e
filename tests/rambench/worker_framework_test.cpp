// The worker framework with a record of the test's own: start failures, exceptions, the log.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <stdexcept>
#include <string>

#include "common/bench_workers.h"
#include "tests/support/output_watch.h"
#include "rambench/ram_workers.h"

namespace {

enum class Unit { kSleep, kThrowStd, kThrowEmptyStd, kThrowOther };

struct TestRecord {
  int32_t count = 0;
  std::stringstream threadLog;
  Unit unit = Unit::kSleep;
  std::atomic<int> units{0};
  std::atomic<bool> entered{false};
  std::atomic<bool> ended{false};
};

struct EmptyError : std::exception {
  const char* what() const noexcept override { return ""; }
};

void TestWorker(TestRecord& record) {
  record.entered = true;
  struct EndMark {
    TestRecord& r;
    ~EndMark() { r.ended = true; }
  } endMark{record};
  RunCountedUnits(record.count, [&record] {
    record.units++;
    switch (record.unit) {
      case Unit::kThrowStd: throw std::runtime_error("boom");
      case Unit::kThrowEmptyStd: throw EmptyError();
      case Unit::kThrowOther: throw 42;
      case Unit::kSleep: break;
    }
    Sleep(1);
  });
}

double TestAmount(const TestRecord& record) { return record.count * 3.0; }

// Starts real threads for the first three workers, then fails like _beginthreadex does.
int startsLeft = 0;
HANDLE StartThreeThenFail(ThreadEntry entry, void* argument) {
  if (startsLeft-- > 0) return StartWaitableThread(entry, argument);
  errno = EAGAIN;
  return nullptr;
}

TEST(WorkerFramework, FailedStartStopsAndJoinsTheStartedWorkers) {
  const int n = 16;
  std::unique_ptr<TestRecord[]> records(new TestRecord[n]);
  HANDLE handles[n];
  startsLeft = 3;
  WorkerRoundResult round = RunWorkerRound<TestRecord, TestWorker>(
      records.get(), handles, n, 10000, 10000, NoRoundStep(), StartThreeThenFail);
  EXPECT_FALSE(round.started);
  EXPECT_EQ(round.startErrno, EAGAIN);
  for (int k = 0; k < n; ++k) {
    EXPECT_EQ(records[k].ended.load(), k < 3) << k;  // ended before the round returned
    EXPECT_EQ(records[k].entered.load(), k < 3) << k;
    EXPECT_EQ(records[k].count, 0) << k;  // the window never opened
  }
}

TEST(WorkerFramework, AThrowingStepBeforeWarmUpStopsAndJoinsTheWorkers) {
  const int n = 3;
  std::unique_ptr<TestRecord[]> records(new TestRecord[n]);
  HANDLE handles[n];
  EXPECT_THROW((RunWorkerRound<TestRecord, TestWorker>(
                   records.get(), handles, n, 10000, 10000,
                   [] { throw std::runtime_error("sampler"); })),
               std::runtime_error);
  // The records are freed right after this: no worker may still be using them.
  for (int k = 0; k < n; ++k) EXPECT_TRUE(records[k].ended.load()) << k;
}

TEST(WorkerFramework, RoundCountsEveryWorkerAndRunsTheStepBeforeWarmUp) {
  const int n = 4;
  std::unique_ptr<TestRecord[]> records(new TestRecord[n]);
  HANDLE handles[n];
  int stepRuns = 0;
  WorkerRoundResult round = RunWorkerRound<TestRecord, TestWorker>(
      records.get(), handles, n, 20, 30, [&] {
        ++stepRuns;
        EXPECT_EQ(measureFlag.load(), 0);
      });
  EXPECT_TRUE(round.started);
  EXPECT_EQ(stepRuns, 1);
  EXPECT_EQ(measureFlag.load(), 1);
  EXPECT_EQ(stopFlag.load(), 1);
  double amount = 0.0;
  for (int k = 0; k < n; ++k) {
    EXPECT_TRUE(records[k].ended.load());
    EXPECT_GT(records[k].count, 0);
    EXPECT_LE(records[k].count, records[k].units.load());  // warm-up units are not counted
    amount += CollectThreadResult(records[k], TestAmount);
  }
  EXPECT_GT(amount, 0.0);
}

TEST(WorkerFramework, WorkerExceptionsGoToTheRunLogOnly) {
  struct Case { Unit unit; const char* message; };
  const Case cases[] = {
      {Unit::kThrowStd, "ERROR: Thread exception boom\n"},
      {Unit::kThrowEmptyStd, "ERROR: Thread exception Unknown exception\n"},
      {Unit::kThrowOther, "ERROR: Unexpected thread exception \n"},
  };
  for (const Case& c : cases) {
    TestRecord record;
    record.unit = c.unit;
    HANDLE handle;
    OutputWatch watch;
    WorkerRoundResult round =
        RunWorkerRound<TestRecord, TestWorker>(&record, &handle, 1, 0, 10);
    EXPECT_TRUE(round.started);
    std::string log = watch.LogText();
    EXPECT_EQ(log.substr(0, 2), "S ");
    EXPECT_NE(log.find(c.message), std::string::npos) << log;
    EXPECT_EQ(record.units.load(), 1);  // the first unit threw and ended the worker
    EXPECT_EQ(record.count, 0);
  }
}

TEST(WorkerFramework, CollectDrainsTheThreadLog) {
  TestRecord record;
  record.count = 5;
  OutputWatch watch;
  EXPECT_DOUBLE_EQ(CollectThreadResult(record, TestAmount), 15.0);
  EXPECT_EQ(watch.LogText(), "");  // an empty threadLog writes nothing

  record.threadLog << "first\nsecond\n";
  EXPECT_DOUBLE_EQ(CollectThreadResult(record, TestAmount), 15.0);
  std::string log = watch.LogText();
  EXPECT_EQ(log.substr(0, 2), "S ");
  EXPECT_NE(log.find(" first\nS "), std::string::npos) << log;
  EXPECT_EQ(log.substr(log.size() - 8), " second\n");
  EXPECT_EQ(record.threadLog.str(), "");
  record.threadLog << "again\n";  // the stream is usable after the drain
  CollectThreadResult(record, TestAmount);
  EXPECT_EQ(watch.LogText().substr(watch.LogText().size() - 7), " again\n");
}

TEST(WorkerFramework, RamCollectUsesTheRamAmount) {
  BenchThreadRecord record;
  record.mode = kRamMixed;
  record.threads = 16;
  record.count = 10;
  EXPECT_DOUBLE_EQ(CollectThreadResult(record), 335544320.0);
}
}  // namespace
