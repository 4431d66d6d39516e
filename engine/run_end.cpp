#include "engine/run_end.h"

#include <fstream>
#include <mutex>

#include "common/result_payload.h"
#include "common/run_log.h"

namespace {
Tree LogLines() {
  Tree logs;
  std::lock_guard<std::mutex> lock(logMutex);
  runLog.clear();
  runLog.seekg(0);
  for (std::string line; std::getline(runLog, line);) {
    logs.push_back(Tree::value_type("", Tree(line)));
  }
  // Later writers append; the stream must stay usable after the read hit its end.
  runLog.clear();
  return logs;
}
}  // namespace

std::string AssembleResultDocument(RunState& run, const std::string& seconds) {
  Tree& document = run.resultDocument;
  if (!run.systemStates.empty()) document.add_child("systemStates", run.systemStates);
  document.add_child("components", run.components);
  document.add_child("logs", LogLines());
  document.add("systemInfo.userRunDurationSecs", seconds);
  document.add("systemInfo.clientCrashed", run.clientCrashed);
  return WriteDocument(document);
}

void WriteResultFile(const std::string& documentText) {
  // The outcome is not examined: a run that cannot store its file still ends normally.
  std::ofstream file("rawresults.dat", std::ios::binary | std::ios::trunc);
  file << "rawBenchData=" << EncodeResultPayload(documentText);
}
