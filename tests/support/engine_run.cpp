#include "tests/support/engine_run.h"

#include <windows.h>

#include "tests/support/graphics_media.h"
#include "tests/support/payload_decoder.h"
#include "tests/support/spawned_process.h"
#include "tests/support/temp_dir.h"

namespace {
nlohmann::json PrintedDocument(const std::string& out) {
  const size_t open = out.find("DEBUG ADMIN JSON");
  const size_t close = out.find("END DEBUG ADMIN JSON");
  if (open == std::string::npos || close == std::string::npos) return nullptr;
  const size_t from = out.find('\n', open);
  const size_t to = out.rfind('\n', close);
  // Strict: a document that is not UTF-8 throughout reads as null.
  return nlohmann::json::parse(out.substr(from, to - from), nullptr, false);
}
}  // namespace

const char* const kUsableGpuStatsScript = "line:R: {\"GPUSTATS_EXIT_CODE\":\"0\"}\n";

EngineRun RunEngine(const EngineRunSetup& setup) {
  TempDir dir;
  dir.Copy(BinDir() + "\\CorvanaRunEngine.exe", "CorvanaRunEngine.exe");
  if (setup.programs.count("CVNGPUStats.exe") == 0) {
    dir.Copy(BinDir() + "\\fake_child.exe", "CVNGPUStats.exe");
    dir.Write("CVNGPUStats.script", kUsableGpuStatsScript);
  }
  for (const auto& program : setup.programs) dir.Copy(BinDir() + "\\" + program.second, program.first);
  for (const auto& file : setup.files) dir.Write(file.first, file.second);
  for (const std::string& name : setup.readOnlyFiles) {
    SetFileAttributesA(dir.File(name).c_str(), FILE_ATTRIBUTE_READONLY);
  }
  for (const std::string& name : setup.folders) CreateDirectoryA(dir.File(name).c_str(), nullptr);
  if (setup.graphicsTestMedia) CopyGraphicsTestMedia(BinDir(), dir.path());

  EngineRun run;
  // A jsondebug run ends with a pause that waits for a key.
  run.process = RunProgram(dir.File("CorvanaRunEngine.exe"), setup.word, "\r\n", dir.path());
  if (dir.Exists("rawresults.dat")) {
    run.resultFile = dir.Read("rawresults.dat");
    run.resultDocument = DecodeResultFile(run.resultFile);
  }
  run.debugDocument = PrintedDocument(run.process.output);
  run.folderAfterRun = dir.Names();
  for (const std::string& pidFile : setup.spawnedPidFiles) {
    SpawnedProcess spawned(pidFile);
    if (spawned.Running()) ++run.spawnedRunningAfterRun;
  }
  // The folder goes with the run; a read-only file would stay behind.
  for (const std::string& name : setup.readOnlyFiles) {
    SetFileAttributesA(dir.File(name).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  return run;
}

bool EngineRun::Printed(const std::string& line) const {
  for (std::string printed : SplitLines(process.output)) {
    if (!printed.empty() && printed.back() == '\r') printed.pop_back();
    if (printed == line) return true;
  }
  return false;
}

bool EngineRun::Logged(const std::string& message) const {
  if (!debugDocument.is_object() || !debugDocument.contains("logs")) return false;
  for (const nlohmann::json& line : debugDocument["logs"]) {
    const std::string text = line.get<std::string>();
    if (text.size() >= message.size() &&
        text.compare(text.size() - message.size(), message.size(), message) == 0) {
      return true;
    }
  }
  return false;
}
