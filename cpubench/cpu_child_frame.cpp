#include "cpu_child_frame.h"

#include "common/exception_text.h"

#include <cstdlib>
#include <exception>

#include <nlohmann/json.hpp>

#include "cpubench/cpu_benchmark.h"
#include "cpubench/processor_performance.h"

namespace {
const char kRequestKey[] = "CPU_RUNFAST_DEV";

// The request as one white-space-delimited token, or the built-in one of a stand-alone debug run.
std::string ReadBenchRequest(std::istream& in, bool jsondebug, bool runfast) {
  if (jsondebug) return runfast ? "{\"CPU_RUNFAST_DEV\":true}" : "{\"CPU_RUNFAST_DEV\":false}";
  std::string token;
  in >> token;
  return token;
}

void DebugPause(std::ostream& out) {
  out << "COMPLETED OK - WAITING FOR INPUT" << std::endl;
  std::system("pause");
}
}  // namespace

int RunCpuBenchChild(const std::vector<std::string>& args, std::istream& in, std::ostream& out) {
  int exitCode = kCpuExitIncomplete;
  std::string status;
  bool jsondebug = false;
  bool runfast = false;
  try {
    for (const std::string& arg : args) {
      if (arg == "jsondebug") {
        jsondebug = true;
        out << "S: WARN: Running in jsondebug mode" << std::endl;
      }
      if (arg == "runfast") {
        runfast = true;
        out << "S: WARN: Running in fast mode" << std::endl;
      }
    }
    const nlohmann::json request = nlohmann::json::parse(ReadBenchRequest(in, jsondebug, runfast));
    if (!request.is_object() || !request.contains(kRequestKey)) {
      out << "S: ERROR: Invalid CPU benchmark requested" << std::endl;
    } else {
      out << "B: INFO: Launching CPU benchmark suite" << std::endl;
      const bool fast = request[kRequestKey].get<bool>();
      if (fast && !runfast) out << "S: WARN: CPU_RUNFAST_DEV mode" << std::endl;
      nlohmann::json result;
      if (RunCpuBenchmarks(result, fast, jsondebug, out, GetProcessorPerformancePercent) == 0) {
        exitCode = kCpuExitDone;
      } else {
        status += " with errors";
      }
      out << "B: INFO: Exiting CPU benchmark suite" << status << std::endl;
      out << "R: " << result.dump() << std::endl;
    }
  } catch (const std::exception& e) {
    // Allocation failures included: this program has no separate handler for them.
    out << "B: ERROR Unexpected " << ExceptionText(e) << std::endl;
  } catch (...) {
    out << "B: ERROR Unknown exception" << std::endl;
  }
  if (jsondebug) DebugPause(out);
  return exitCode;
}
