#pragma once
// The framework clock: seconds of running time since it was started, from the performance
// counter. While it is stopped (the framework paused) its time stands still, and the time it stood
// still never counts, so neither the frame time nor the frame rate sees a pause.
#include <windows.h>

#include <cstdint>
#include <functional>

class FrameworkClock {
 public:
  using Counter = std::function<int64_t()>;
  // The performance counter.
  FrameworkClock();
  FrameworkClock(Counter counter, int64_t ticksPerSecond);

  // From zero; a stopped clock stays stopped, at zero.
  void Start();
  // Holds the time where it is; stopping a stopped clock changes nothing.
  void Stop();
  // Goes on from the time it was stopped at.
  void Resume();
  bool Stopped() const { return stopped_; }
  // Seconds of running time since Start.
  double Now() const;

 private:
  Counter counter_;
  double ticksPerSecond_ = 1.0;
  int64_t base_ = 0;     // the counter at Start, moved on by every stop
  int64_t stopAt_ = 0;   // the counter when it was stopped
  bool stopped_ = false;
};
