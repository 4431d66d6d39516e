#pragma once
// Worker framework shared by the RAM and the CPU benchmark.
//
// A round starts n worker threads (at most 64, the limit of one WaitForMultipleObjects call) that
// repeat one unit of work as fast as they can. The main thread lets them warm up, opens the
// measuring window with `measureFlag`, closes it with `stopFlag`, joins all of them through their
// handles and turns every worker's count into an amount of work.
//
// How a program uses it:
//   1. Define the two flags once in the program (not in this header, one pair per program):
//        std::atomic<int32_t> measureFlag{0};
//        std::atomic<int32_t> stopFlag{0};
//   2. Declare its own `BenchThreadRecord` with at least `int32_t count` and
//      `std::stringstream threadLog` (plus whatever its unit needs: mode, index, buffer...).
//   3. Write its worker loop on top of RunCountedUnits, e.g.
//        void RunRamWorker(BenchThreadRecord& r) {
//          RunCountedUnits(r.count, [&r] { DoOnePass(r); });
//        }
//   4. Per round: reset the records, then
//        WorkerRoundResult round =
//            RunWorkerRound<BenchThreadRecord, RunRamWorker>(records, handles, n, warmUpMs, windowMs);
//      or, with a step between the thread start and the warm-up sleep (the CPU sampler):
//        RunWorkerRound<BenchThreadRecord, RunWorkload>(records, handles, n, warmUpMs, windowMs,
//                                                       [&] { SampleProcessor(); });
//      On !round.started the workers that did start have been stopped, joined and closed already;
//      the driver writes "B: ERROR: Thread start error " + round.startErrno and returns 1.
//   5. Sum CollectThreadResult(records[k], Amount) over k = 0..n-1, where Amount is the program's
//      formula `double Amount(const BenchThreadRecord&)`; the window is round.t1 - round.t0 ms.
//
// The starter of threads is a parameter so that a failed start can be shown without a real one.
#include <windows.h>
#include <mmsystem.h>
#include <process.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>

#include "common/floating_point.h"
#include "common/run_log.h"

// Written only by the main thread, read by the workers once per unit; they carry no data, so
// relaxed ordering is enough: the join orders every count before the main thread reads it.
extern std::atomic<int32_t> measureFlag;  // 1 once the measuring window has opened in this round
extern std::atomic<int32_t> stopFlag;     // 1 once the workers are to end

constexpr int kMaxBenchWorkers = 64;  // MAXIMUM_WAIT_OBJECTS

using ThreadEntry = unsigned(__stdcall*)(void*);
// Starts a thread on entry(argument); returns its handle, or null with errno set.
using ThreadStarter = HANDLE (*)(ThreadEntry entry, void* argument);

// _beginthreadex: default security and stack, runs at once, no thread id.
inline HANDLE StartWaitableThread(ThreadEntry entry, void* argument) {
  return reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, entry, argument, 0, nullptr));
}

// The worker loop of both programs: at least one unit; a unit that ends while the window is open
// (or after it was closed, since measureFlag stays 1) is counted; the unit running when stopFlag is
// set is finished and counted.
template <class Unit>
inline void RunCountedUnits(int32_t& count, Unit&& unit) {
  for (;;) {
    unit();
    if (measureFlag.load(std::memory_order_relaxed) == 1) ++count;
    if (stopFlag.load(std::memory_order_relaxed) == 1) break;
  }
}

// Thread entry: runs the program's worker loop on one record; an exception is logged (run log
// only, never the console) and the thread still ends with 0, keeping the count it had.
template <class Record, void (*WorkerLoop)(Record&)>
unsigned __stdcall BenchThreadProc(void* argument) {
  UseStartUpFloatingPoint();
  Record& record = *static_cast<Record*>(argument);
  try {
    WorkerLoop(record);
  } catch (const std::exception& e) {
    const char* text = e.what();
    WriteLogLine(kLogS, __LINE__,
                 std::string("ERROR: Thread exception ") +
                     (text != nullptr && *text != '\0' ? text : "Unknown exception"));
  } catch (...) {
    WriteLogLine(kLogS, __LINE__, "ERROR: Unexpected thread exception ");
  }
  return 0;
}

struct WorkerRoundResult {
  bool started = false;  // false: a thread start failed and the round was abandoned
  int startErrno = 0;    // the runtime's error number of the failed start
  uint32_t t0 = 0;       // timeGetTime() when the window opened
  uint32_t t1 = 0;       // timeGetTime() once the last worker had ended
};

struct NoRoundStep {
  void operator()() const {}
};

// Ends the workers whose handles are in handles[0..started-1]: stop, wait for all, close in order.
inline void StopAndJoinWorkers(HANDLE* handles, int started) {
  stopFlag.store(1, std::memory_order_relaxed);
  if (started > 0) WaitForMultipleObjects(static_cast<DWORD>(started), handles, TRUE, INFINITE);
  for (int k = 0; k < started; ++k) CloseHandle(handles[k]);
}

// One measuring round over n prepared records; handles has room for n entries. beforeWarmUp runs
// right after every worker has started and before the warm-up sleep; when it throws, the workers
// are stopped and joined before the exception goes on.
template <class Record, void (*WorkerLoop)(Record&), class BeforeWarmUp = NoRoundStep>
WorkerRoundResult RunWorkerRound(Record* records, HANDLE* handles, int n, uint32_t warmUpMs,
                                 uint32_t windowMs, BeforeWarmUp beforeWarmUp = BeforeWarmUp(),
                                 ThreadStarter startThread = StartWaitableThread) {
  WorkerRoundResult round;
  measureFlag.store(0, std::memory_order_relaxed);
  stopFlag.store(0, std::memory_order_relaxed);
  if (n < 1 || n > kMaxBenchWorkers) {
    round.startErrno = EINVAL;  // the drivers refuse such counts before they get here
    return round;
  }
  for (int k = 0; k < n; ++k) {
    errno = 0;
    HANDLE handle = startThread(&BenchThreadProc<Record, WorkerLoop>, &records[k]);
    if (handle == nullptr) {
      round.startErrno = errno;
      // Workers still use the program's buffers: end them before the caller frees anything.
      StopAndJoinWorkers(handles, k);
      return round;
    }
    handles[k] = handle;
  }
  try {
    beforeWarmUp();
  } catch (...) {
    // The caller frees the records and buffers the workers use once the exception reaches it.
    StopAndJoinWorkers(handles, n);
    throw;
  }
  Sleep(warmUpMs);
  round.t0 = timeGetTime();
  measureFlag.store(1, std::memory_order_relaxed);
  Sleep(windowMs);
  stopFlag.store(1, std::memory_order_relaxed);
  WaitForMultipleObjects(static_cast<DWORD>(n), handles, TRUE, INFINITE);
  round.t1 = timeGetTime();
  for (int k = 0; k < n; ++k) CloseHandle(handles[k]);
  round.started = true;
  return round;
}

// Moves the record's threadLog into the run log, one "S " line per text line, empties it and
// returns amount(record), the program's amount of work for the record.
template <class Record, class Amount>
double CollectThreadResult(Record& record, Amount amount) {
  std::string line;
  while (std::getline(record.threadLog, line)) WriteLogLine(kLogS, __LINE__, line);
  record.threadLog.str(std::string());
  record.threadLog.clear();
  return amount(static_cast<const Record&>(record));
}
