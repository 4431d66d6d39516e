#pragma once
// One real run of the run engine in a fresh folder, with chosen programs and files beside it: how
// the phase tests see the engine.
#include <map>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/support/process_runner.h"

struct EngineRunSetup {
  std::string word = "start";  // the engine's command-line word: "start" or "jsondebug"
  // Name beside the engine to the program of bin/ copied there, e.g. "CVNCPUBench.exe" to
  // "fake_child.exe". Unless named here, "CVNGPUStats.exe" is the fake child answering with
  // kUsableGpuStatsScript (or its "CVNGPUStats.script" of files), so that the graphics phase,
  // which runs whenever there is a display, ends cleanly.
  std::map<std::string, std::string> programs;
  // Name to content of further files, e.g. the fake child's scripts.
  std::map<std::string, std::string> files;
  // Of those files, the ones made read-only.
  std::set<std::string> readOnlyFiles;
  // Folders made beside the engine.
  std::set<std::string> folders;
  // Whether the graphics test's media of bin/ go beside the engine too, for the real ZORTA.exe.
  bool graphicsTestMedia = false;
  // Files into which processes started by the children write their ids ("own-pid:"): those still
  // running when the engine has ended are counted and then ended, before the folder goes.
  std::set<std::string> spawnedPidFiles;
};

// The script of a GPU statistics child that answers with the one member the engine requires.
extern const char* const kUsableGpuStatsScript;

struct EngineRun {
  ProcessResult process;
  std::string resultDocument;  // the document read back from "rawresults.dat"; empty without one
  std::string resultFile;      // the bytes of "rawresults.dat" as the run left them
  std::set<std::string> folderAfterRun;  // the names in the engine's folder when it had ended
  int spawnedRunningAfterRun = 0;          // of the setup's spawnedPidFiles
  // The document printed in jsondebug mode; null without one, or when it is not valid JSON in
  // UTF-8.
  nlohmann::json debugDocument;

  // Whether the engine printed this line (line ends ignored).
  bool Printed(const std::string& line) const;
  // Whether a line of the debug document's "logs" ends with this message.
  bool Logged(const std::string& message) const;
};

EngineRun RunEngine(const EngineRunSetup& setup);
