#include "child_frame.h"

#include <exception>
#include <new>

#include <nlohmann/json.hpp>

#include "common/child_frame_io.h"
#include "common/exception_text.h"
#include "latency_test.h"
#include "ram_buffers.h"
#include "ram_configuration.h"
#include "throughput_benchmark.h"

namespace {
const char kRequestKey[] = "RAM_RUNFAST_DEV";

void PrintResultLine(const nlohmann::json& result, std::ostream& out) {
  out << "R: " << result.dump() << std::endl;
}
}  // namespace

int RunRamBenchChild(const std::vector<std::string>& args, std::istream& in, std::ostream& out) {
  int exitCode = kRamExitIncomplete;
  std::string status;
  ChildWords words;
  try {
    ReadChildWords(args, "S: Running in jsondebug mode", out, words);
    nlohmann::json request = nlohmann::json::parse(
        ReadBenchRequest(in, words.jsondebug, words.runfast, kRequestKey));
    if (!request.is_object() || !request.contains(kRequestKey)) {
      out << "S: ERROR: Invalid RAM benchmark requested" << std::endl;
    } else {
      out << "B: INFO: Launching RAM benchmark suite" << std::endl;
      nlohmann::json result;
      CheckRamConfiguration(result, out);
      bool fast = request[kRequestKey].get<bool>();
      if (fast && !words.runfast) out << "S: WARN: RAM_RUNFAST_DEV mode" << std::endl;
      int throughput;
      {
        RamBuffers buffers;
        throughput = RunThroughputBenchmarks(result, fast, words.jsondebug, out);
      }
      if (throughput == 0) {
        exitCode = kRamExitDone;
        if (RunLatencyTests(result, words.jsondebug, out) != 0) {
          status += " with errors";
          exitCode = kRamExitLatencyFailed;
        }
      } else {
        status += " with errors";
      }
      out << "B: INFO: Exiting RAM benchmark suite" << status << std::endl;
      PrintResultLine(result, out);
    }
  } catch (const std::bad_alloc& e) {
    out << "B: ERROR: Insufficient memory, aborting RAM benchmark suite: " << ExceptionText(e) << std::endl;
  } catch (const std::exception& e) {
    out << "B: ERROR: Unexpected " << ExceptionText(e) << std::endl;
  } catch (...) {
    out << "B: ERROR: Unknown exception" << std::endl;
  }
  if (words.jsondebug) DebugPause(out);
  return exitCode;
}
