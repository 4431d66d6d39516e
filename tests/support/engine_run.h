#pragma once
// One real run of the run engine in a fresh folder, with chosen programs and files beside it: how
// the phase tests see the engine.
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/support/process_runner.h"

struct EngineRunSetup {
  std::string word = "start";  // the engine's command-line word: "start" or "jsondebug"
  // Name beside the engine to the program of bin/ copied there, e.g. "CVNCPUBench.exe" to
  // "fake_child.exe".
  std::map<std::string, std::string> programs;
  // Name to content of further files, e.g. the fake child's scripts.
  std::map<std::string, std::string> files;
};

struct EngineRun {
  ProcessResult process;
  std::string resultDocument;  // the document read back from "rawresults.dat"; empty without one
  nlohmann::json debugDocument;  // the document printed in jsondebug mode; null without one

  // Whether the engine printed this line (line ends ignored).
  bool Printed(const std::string& line) const;
  // Whether a line of the debug document's "logs" ends with this message.
  bool Logged(const std::string& message) const;
};

EngineRun RunEngine(const EngineRunSetup& setup);
