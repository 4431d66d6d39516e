#pragma once
// Collects the framework's trace points in place of the trace log.
#include <string>
#include <vector>

#include "gputest/framework/trace_sink.h"

struct TracePoint {
  std::string file;
  int line;
  std::string function;
  std::string message;
};

class TraceRecorder {
 public:
  TraceSink Sink() {
    return [this](const char* file, int line, const char* function, const std::string& message) {
      points.push_back({file, line, function, message});
    };
  }
  std::vector<int> Lines() const {
    std::vector<int> lines;
    for (const TracePoint& point : points) lines.push_back(point.line);
    return lines;
  }
  bool Has(int line) const {
    for (const TracePoint& point : points) {
      if (point.line == line) return true;
    }
    return false;
  }

  std::vector<TracePoint> points;
};

// The trace points of a normal search, from its entry to its end: the enumeration's output, then
// the two combinations of the requested output, full screen (refused for the windowed request) and
// windowed (taken).
inline std::vector<int> NormalSearchTrace() {
  return {84,   97,   117,  132,  135,  139,  2572, 2589, 152,  155,  3300, 3315,
          3328, 3331, 3547, 3555, 3563,
          3328, 3331, 3547, 3555, 3563, 3571, 3579, 3586, 3594, 3596, 3600, 3616, 3668, 3336, 3339,
          3348, 3356, 3358, 163,  179,  204};
}
