#include "engine/bench_jobs.h"

#include <process.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>

#include "common/exception_text.h"
#include "common/floating_point.h"
#include "common/run_log.h"
#include "engine/child_runner.h"

BenchResultMap& benchResults = *new BenchResultMap;

bool BenchResultMap::Register(const std::string& benchName) {
  std::lock_guard<std::mutex> lock(mutex_);
  return results_.emplace(benchName, std::string()).second;
}

void BenchResultMap::Store(const std::string& benchName, const std::string& result) {
  std::lock_guard<std::mutex> lock(mutex_);
  results_[benchName] = result;
}

std::string BenchResultMap::Lookup(const std::string& benchName) {
  std::lock_guard<std::mutex> lock(mutex_);
  return results_[benchName];
}

bool BenchResultMap::AllFinished() const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& entry : results_) {
    if (entry.second.empty()) return false;
  }
  return true;
}

namespace {

// An exception out of the runner (out of memory, a failed lock) must not end the whole run
// through terminate: the job logs it and finishes with the launch error, so that its entry
// counts as done.
std::string RunJobChild(const BenchJob& job, ChildRunner runChild) {
  try {
    return runChild(job.commandLine, job.requestText, job.timeLimitMs);
  } catch (const std::exception& error) {
    try {
      WriteLogLine(kLogB, __LINE__,
                   "ERROR: bench " + job.benchName + " failed: " + ExceptionText(error));
    } catch (...) {
    }
  } catch (...) {
    try {
      WriteLogLine(kLogB, __LINE__, "ERROR: bench " + job.benchName + " failed");
    } catch (...) {
    }
  }
  return kRunnerLaunchFailed;
}

}  // namespace

void RunBenchJob(const BenchJob& job, ChildRunner runChild) {
  std::string result = RunJobChild(job, runChild);
  // The empty value means "still running": stored as it is, it would hold the stage until its
  // time-out and stop every later batch.
  if (result.empty()) result = kRunnerNoResults;
  benchResults.Store(job.benchName, result);
}

void __cdecl BenchJobThread(void* argument) {
  UseStartUpFloatingPoint();
  std::unique_ptr<BenchJob> job(static_cast<BenchJob*>(argument));
  try {
    RunBenchJob(*job, RunChild);
  } catch (...) {
    // Not even the result could be stored: the entry stays empty, the job unfinished.
  }
}

void LaunchBenchAsync(BenchJob* job) {
  std::unique_ptr<BenchJob> owned(job);
  if (!benchResults.Register(owned->benchName)) {
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: error attempted to launch duplicate bench " + owned->benchName);
    return;
  }
  std::string benchName = owned->benchName;
  if (_beginthread(BenchJobThread, 0, owned.get()) == static_cast<uintptr_t>(-1L)) {
    // The entry stays empty: the job counts as unfinished.
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: failed to start bench job " + benchName + ": " + std::strerror(errno));
    return;
  }
  owned.release();
}

bool AllBenchesFinished() { return benchResults.AllFinished(); }
