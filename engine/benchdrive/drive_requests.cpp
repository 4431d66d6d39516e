#include "engine/benchdrive/drive_requests.h"

#include <nlohmann/json.hpp>

#include "engine/json_text.h"
#include "engine/run_state.h"

const char* const kDriveBenchCommandLine = "CVNDriveBench.exe";

std::string DriveCoreRequest(const std::string& basePath) {
  nlohmann::json request;
  request["DRIVE_RUNFAST_DEV"] = runFastDev;
  request["DRIVE_TARGETDRIVE"] = basePath;
  request["DRIVE_TESTSUITE"] = "Core";
  return CompactJsonText(request);
}

std::string SustainedWriteRequest(const std::string& basePath, double measuredMbps) {
  nlohmann::json request;
  request["DRIVE_MEASURED_SW_MBPS"] = measuredMbps;
  request["DRIVE_RUNFAST_DEV"] = runFastDev;
  request["DRIVE_TARGETDRIVE"] = basePath;
  request["DRIVE_TESTSUITE"] = "SustainedWrite";
  return CompactJsonText(request);
}
