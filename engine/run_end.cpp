#include "engine/run_end.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <mutex>

#include "common/exception_text.h"
#include "common/run_log.h"
#include "common/text_encoding.h"
#include "common/text_helpers.h"
#include "engine/bench_jobs.h"
#include "engine/child_runner.h"
#include "engine/result_file.h"
#include "common/console_line.h"

namespace {
Tree LogLines() {
  Tree logs;
  std::lock_guard<std::mutex> lock(logMutex);
  runLog.clear();
  runLog.seekg(0);
  for (std::string line; std::getline(runLog, line);) {
    // Children's log lines carry firmware and driver texts as they came; the document holds only
    // UTF-8, so bytes that are not are kept as their Latin-1 characters.
    logs.push_back(Tree::value_type("", Tree(Utf8OrLatin1(line))));
  }
  // Later writers append; the stream must stay usable after the read hit its end.
  runLog.clear();
  return logs;
}

void PrintDebugDocument(const std::string& text) {
  std::lock_guard<std::mutex> lock(logMutex);
  std::cout << std::string(40, '-') << "DEBUG ADMIN JSON" << std::string(44, '-') << std::endl;
  std::cout << text << std::endl;
  std::cout << std::string(40, '-') << "END DEBUG ADMIN JSON" << std::string(40, '-') << std::endl;
}

void EndJsonDebug(bool jsondebug) {
  if (!jsondebug) return;
  ConsoleLine("COMPLETED OK");
  std::system("pause");
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

int RunBenchmarks(bool jsondebug, const RunPhases& phases, const RunWaits& waitsFor,
                  const ZlibCalls& zlib) {
  try {
    RunState run;
    run.jsondebug = jsondebug;
    run.mainStartTick = timeGetTime();
    const unsigned endedBefore = ChildrenEndedAtTheirBound();
    phases(run);

    WaitForSustainedWrites(run, waitsFor(run.mainStartTick));
    CollectSustainedWriteResults(run);
    // A child ended at its bound crashed, even when its answer was kept.
    if (ChildrenEndedAtTheirBound() != endedBefore) run.clientCrashed = true;

    const std::string seconds = ToString(static_cast<unsigned>(ElapsedMs(run.mainStartTick) / 1000));
    ConsoleLine("INFO: Completed all benchmarks in " + seconds + " s");
    const std::string text = AssembleResultDocument(run, seconds);
    if (jsondebug) PrintDebugDocument(text);
    WriteResultFile(text, zlib);
  } catch (const std::exception& e) {
    std::cerr << "error: " << ExceptionText(e) << '\n';
    return 1;
  } catch (...) {
    std::cerr << "Exception of unknown type!\n";
  }
  EndJsonDebug(jsondebug);
  return 0;
}

int EndProcess(int exitCode) {
  if (AllBenchesFinished()) return exitCode;
  // Holding the mutex, no job can start a line that the end would cut.
  std::lock_guard<std::mutex> lock(logMutex);
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  // No exit handlers and no library detach: nothing a running job uses is destroyed first.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
  std::_Exit(exitCode);
}
