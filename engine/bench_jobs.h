#pragma once
// Background bench jobs: one console child run through RunChild on a thread of its own, its
// result text left in the process-wide map benchResults under the job's bench name.
#include <windows.h>

#include <map>
#include <mutex>
#include <string>

struct BenchJob {
  std::string commandLine;  // handed to RunChild unchanged
  std::string requestText;  // handed to RunChild unchanged
  std::string benchName;    // the key of the job's entry in benchResults
  DWORD timeLimitMs;        // the child's bound, handed to RunChild
};

// Bench name to result text; an empty value means the job is still running. Safe for use from any
// thread; a value is never read while it is being stored.
class BenchResultMap {
 public:
  // Adds an empty entry; false when the name is already there (the entry stays unchanged).
  bool Register(const std::string& benchName);
  // Stores the result of a job, creating the entry when it is missing.
  void Store(const std::string& benchName, const std::string& result);
  // The value stored under the name; creates an empty entry when there is none.
  std::string Lookup(const std::string& benchName);
  // True when no entry is empty, also for an empty map.
  bool AllFinished() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::string> results_;
};

// Lives for the whole process and is never destroyed, so that a job abandoned at the end of a run
// can still store its result while the process ends.
extern BenchResultMap& benchResults;

// Takes ownership of job: registers its bench name and starts its thread; a duplicate name is
// refused and logged, and the job freed.
void LaunchBenchAsync(BenchJob* job);

// The job thread: runs the child through RunChild, stores its result, frees the job.
void __cdecl BenchJobThread(void* job);

using ChildRunner = std::string (*)(const std::string& commandLine, const std::string& requestText,
                                    DWORD timeLimitMs);
// The work of a job thread with the runner as a parameter: an exception out of runChild is
// logged and the job finishes with the launch error object, and an empty answer ("R: " alone) is
// stored as kRunnerNoResults, so that its entry counts as done either way.
void RunBenchJob(const BenchJob& job, ChildRunner runChild);

bool AllBenchesFinished();
