// CVNCPUBench: answers one request from the run engine with the CPU scores and the processor
// performance measured under load.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include "cpubench/cpu_benchmark.h"

namespace {
// The request as one white-space-delimited token, or the built-in one of a stand-alone debug run.
std::string ReadBenchRequest(bool jsondebug, bool runfast) {
  if (jsondebug) return runfast ? "{\"CPU_RUNFAST_DEV\":true}" : "{\"CPU_RUNFAST_DEV\":false}";
  std::string token;
  std::cin >> token;
  return token;
}

// The JSON library puts "[json.exception.<kind>.<id>] " before its message; the run engine's log
// carries the message alone.
std::string ExceptionText(const std::exception& e) {
  std::string text = e.what();
  if (dynamic_cast<const nlohmann::json::exception*>(&e) != nullptr && !text.empty() &&
      text[0] == '[') {
    std::string::size_type end = text.find("] ");
    if (end != std::string::npos) text.erase(0, end + 2);
  }
  return text;
}

void WriteMessage(const std::string& line) { std::cout << line << std::endl; }

void DebugPause() {
  WriteMessage("COMPLETED OK - WAITING FOR INPUT");
  std::system("pause");
}
}  // namespace

int main(int argc, char** argv) {
  int exitCode = 1;
  std::string status;
  bool jsondebug = false;
  bool runfast = false;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string word = argv[i];
      if (word == "jsondebug") {
        jsondebug = true;
        WriteMessage("S: WARN: Running in jsondebug mode");
      } else if (word == "runfast") {
        runfast = true;
        WriteMessage("S: WARN: Running in fast mode");
      }
    }

    const nlohmann::json request = nlohmann::json::parse(ReadBenchRequest(jsondebug, runfast));
    if (!request.is_object() || !request.contains("CPU_RUNFAST_DEV")) {
      WriteMessage("S: ERROR: Invalid CPU benchmark requested");
    } else {
      WriteMessage("B: INFO: Launching CPU benchmark suite");
      const bool fast = request["CPU_RUNFAST_DEV"].get<bool>();
      if (fast && !runfast) WriteMessage("S: WARN: CPU_RUNFAST_DEV mode");

      nlohmann::json result;
      if (RunCpuBenchmarks(result, fast, jsondebug) == 1) {
        status += " with errors";
      } else {
        exitCode = 0;
      }
      WriteMessage("B: INFO: Exiting CPU benchmark suite" + status);
      WriteMessage("R: " + result.dump());
    }
  } catch (const std::exception& e) {
    WriteMessage("B: ERROR Unexpected " + ExceptionText(e));
  } catch (...) {
    WriteMessage("B: ERROR Unknown exception");
  }
  if (jsondebug) DebugPause();
  return exitCode;
}
