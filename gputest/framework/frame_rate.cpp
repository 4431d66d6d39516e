#include "gputest/framework/frame_rate.h"

void FrameRateCounter::CountFrame(double time) {
  ++framesSinceUpdate;
  const double since = time - lastUpdateTime;
  if (since > 1.0) {
    frameRate = static_cast<float>(framesSinceUpdate / since);
    lastUpdateTime = time;
    framesSinceUpdate = 0;
  }
}
