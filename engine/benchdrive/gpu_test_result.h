#pragma once
// The result file a graphics test leaves: the frame rate and three lines that are only logged.
#include <string>

struct GpuTestResult {
  double fps = 0.0;         // the first line as atof reads it: 0 when it is not a number
  std::string frameStats;   // FS
  std::string deviceStats;  // DS
  std::string fpsDetail;    // FPSDET
};

// Reads the file in text mode (CR LF reads as LF). False when it is missing, holds fewer than four
// lines, or its fourth line has no line end; lines after the fourth are ignored.
bool ReadGpuTestResult(const std::string& fileName, GpuTestResult& result);
