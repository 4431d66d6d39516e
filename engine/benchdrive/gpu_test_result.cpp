#include "engine/benchdrive/gpu_test_result.h"

#include <cstdlib>
#include <fstream>

bool ReadGpuTestResult(const std::string& fileName, GpuTestResult& result) {
  std::ifstream file(fileName);
  std::string fpsLine, frameStats, deviceStats, fpsDetail;
  if (!std::getline(file, fpsLine) || !std::getline(file, frameStats) ||
      !std::getline(file, deviceStats) || !std::getline(file, fpsDetail)) {
    return false;
  }
  // A fourth line cut off by the end of the file sets eof: the test did not finish writing.
  if (!file.good()) return false;
  result.fps = std::atof(fpsLine.c_str());
  result.frameStats = frameStats;
  result.deviceStats = deviceStats;
  result.fpsDetail = fpsDetail;
  return true;
}
