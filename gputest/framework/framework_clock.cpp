#include "gputest/framework/framework_clock.h"

#include <utility>

namespace {
int64_t PerformanceCounter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

int64_t PerformanceFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}
}  // namespace

FrameworkClock::FrameworkClock() : FrameworkClock(PerformanceCounter, PerformanceFrequency()) {}

FrameworkClock::FrameworkClock(Counter counter, int64_t ticksPerSecond)
    : counter_(std::move(counter)),
      ticksPerSecond_(ticksPerSecond > 0 ? static_cast<double>(ticksPerSecond) : 1.0) {}

void FrameworkClock::Start() {
  base_ = counter_();
  stopAt_ = base_;
}

void FrameworkClock::Stop() {
  if (stopped_) return;
  stopAt_ = counter_();
  stopped_ = true;
}

void FrameworkClock::Resume() {
  if (!stopped_) return;
  base_ += counter_() - stopAt_;
  stopped_ = false;
}

double FrameworkClock::Now() const {
  const int64_t now = stopped_ ? stopAt_ : counter_();
  return static_cast<double>(now - base_) / ticksPerSecond_;
}
