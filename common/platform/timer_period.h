#pragma once
// One system timer period of 1 ms while the holder lives, released on every way out.
#include <windows.h>
#include <mmsystem.h>

class TimerPeriod {
 public:
  TimerPeriod() { timeBeginPeriod(1); }
  ~TimerPeriod() { timeEndPeriod(1); }
  TimerPeriod(const TimerPeriod&) = delete;
  TimerPeriod& operator=(const TimerPeriod&) = delete;
};
