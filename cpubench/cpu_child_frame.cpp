#include "cpu_child_frame.h"

#include <exception>

#include <nlohmann/json.hpp>

#include "common/child_frame_io.h"
#include "common/exception_text.h"
#include "cpubench/cpu_benchmark.h"
#include "cpubench/processor_performance.h"

namespace {
const char kRequestKey[] = "CPU_RUNFAST_DEV";
}  // namespace

int RunCpuBenchChild(const std::vector<std::string>& args, std::istream& in, std::ostream& out) {
  int exitCode = kCpuExitIncomplete;
  std::string status;
  ChildWords words;
  try {
    ReadChildWords(args, "S: WARN: Running in jsondebug mode", out, words);
    const nlohmann::json request = nlohmann::json::parse(
        ReadBenchRequest(in, words.jsondebug, words.runfast, kRequestKey));
    if (!request.is_object() || !request.contains(kRequestKey)) {
      out << "S: ERROR: Invalid CPU benchmark requested" << std::endl;
    } else {
      out << "B: INFO: Launching CPU benchmark suite" << std::endl;
      const bool fast = request[kRequestKey].get<bool>();
      if (fast && !words.runfast) out << "S: WARN: CPU_RUNFAST_DEV mode" << std::endl;
      nlohmann::json result;
      if (RunCpuBenchmarks(result, fast, words.jsondebug, out, GetProcessorPerformancePercent) == 0) {
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
  if (words.jsondebug) DebugPause(out);
  return exitCode;
}
