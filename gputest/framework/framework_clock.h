#pragma once
// The framework clock: seconds since it was started, from the performance counter.
#include <windows.h>

class FrameworkClock {
 public:
  void Start();
  // Seconds since Start.
  double Now() const;

 private:
  LARGE_INTEGER start_{};
  double ticksPerSecond_ = 1.0;
};
