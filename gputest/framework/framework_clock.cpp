#include "gputest/framework/framework_clock.h"

void FrameworkClock::Start() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  ticksPerSecond_ = static_cast<double>(frequency.QuadPart);
  QueryPerformanceCounter(&start_);
}

double FrameworkClock::Now() const {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start_.QuadPart) / ticksPerSecond_;
}
