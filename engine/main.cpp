// CorvanaRunEngine: runs every benchmark of the suite as a child and writes "rawresults.dat".
#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <mutex>
#include <string>

#include "common/run_log.h"
#include "common/text_helpers.h"
#include "engine/console_line.h"
#include "engine/phases.h"
#include "engine/run_end.h"

namespace {
void EndJsonDebug(bool jsondebug) {
  if (!jsondebug) return;
  ConsoleLine("COMPLETED OK");
  std::system("pause");
}
}  // namespace

int main(int argc, char* argv[]) {
  bool jsondebug = false;
  try {
    bool valid = false;
    if (argc == 2) {
      const std::string word = argv[1];
      if (word == "jsondebug") {
        jsondebug = true;
        valid = true;
        std::cout << "Running in jsondebug mode" << std::endl;
      }
      if (word == "start") valid = true;
    }
    if (!valid) {
      std::cout << "Error: Invalid Configuration" << std::endl;
      return 1;
    }

    RunState run;
    run.jsondebug = jsondebug;
    run.mainStartTick = timeGetTime();

    RunSystemInfoPhase(run);
    RunCpuPhase(run);
    RunRamPhase(run);

    const std::string seconds = ToString(static_cast<unsigned>(ElapsedMs(run.mainStartTick) / 1000));
    ConsoleLine("INFO: Completed all benchmarks in " + seconds + " s");
    const std::string text = AssembleResultDocument(run, seconds);
    if (jsondebug) {
      std::lock_guard<std::mutex> lock(logMutex);
      std::cout << std::string(40, '-') << "DEBUG ADMIN JSON" << std::string(44, '-') << std::endl;
      std::cout << text << std::endl;
      std::cout << std::string(40, '-') << "END DEBUG ADMIN JSON" << std::string(40, '-')
                << std::endl;
    }
    WriteResultFile(text);
  } catch (const std::exception& e) {
    std::cerr << "error: " << e.what() << '\n';
    return 1;
  } catch (...) {
    std::cerr << "Exception of unknown type!\n";
  }
  EndJsonDebug(jsondebug);
  return 0;
}
