#include "engine/benchdrive/gpu_stats_request.h"

#include <nlohmann/json.hpp>

#include "common/run_log.h"
#include "common/text_helpers.h"
#include "engine/child_time_limits.h"

const char* const kGpuStatsCommandLine = "CVNGPUStats.exe";

bool RequestGpuStats(const DisplayFacts& display, Tree& component, std::string& monitorName,
                     ChildRunner runChild) {
  monitorName.clear();
  nlohmann::json request;
  request["GPUSTATS_TARGETDISPLAY"] = display.deviceName;
  const std::string reply = runChild(kGpuStatsCommandLine, request.dump(), kGpuStatsTimeLimitMs);

  nlohmann::json answer;
  try {
    answer = nlohmann::json::parse(reply);
  } catch (const nlohmann::json::exception&) {
    // Every error of the library, a number out of range included, counts as no answer below.
  }
  if (!answer.is_object() || !answer.contains("GPUSTATS_EXIT_CODE")) {
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: Proceeding without CVNGPUStats for Display(" +
                     ToString(display.adapterOrdinal + 1) + ")");
    return false;
  }
  // Whether the child completed every stage is not the run engine's concern.
  answer.erase("GPUSTATS_EXIT_CODE");
  if (answer.contains("monHWName")) monitorName = answer["monHWName"].get<std::string>();
  answer["dispHR"] = ToString(display.hr);
  answer["dispVR"] = ToString(display.vr);
  answer["dispRR"] = ToString(display.rr);
  answer["dispWinOrdinal"] = ToString(display.adapterOrdinal + 1);
  answer["dispMain"] = display.isMainDisplay ? "1" : "0";
  for (const auto& member : answer.items()) {
    AddReplyValue(component, "componentInfo." + member.key(), member.value().get<std::string>());
  }
  return true;
}
