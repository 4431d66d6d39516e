#pragma once
// The framework's frame-rate figure: frames counted since the last update, divided by the time
// since then, recomputed once more than a second has passed. It reads 0 until the first update.
struct FrameRateCounter {
  double lastUpdateTime = 0.0;  // framework seconds
  unsigned framesSinceUpdate = 0;
  float frameRate = 0.0f;

  // At the start of each frame, with the framework time of that frame.
  void CountFrame(double time);
};
