#pragma once
// The end of a run: the finished document and the result file.
#include <cstdint>
#include <functional>
#include <string>

#include "common/result_payload.h"
#include "engine/run_state.h"
#include "engine/sustained_write_stage.h"

// The phases of a run up to the sustained-write stage.
using RunPhases = std::function<void(RunState& run)>;
// The sustained-write stage's waits for a run started at mainStartTick.
using RunWaits = std::function<SustainedWriteWaits(uint32_t mainStartTick)>;

// A whole run after its command line: the phases, the sustained-write stage and the end of the run
// (completion line, document, jsondebug lines, result file) under the outer handlers. Returns the
// exit code: 0 after the end of the run or an exception of unknown type, 1 after a standard
// exception, which is printed on standard error and leaves no new result file (a result file that
// cannot be compressed or written is one). zlib: the compressor's calls, for tests.
int RunBenchmarks(bool jsondebug, const RunPhases& phases,
                  const RunWaits& waitsFor = RunSustainedWriteWaits,
                  const ZlibCalls& zlib = kZlibCalls);

// The exit rule: returns exitCode for a normal end when every launched job has stored its result.
// Otherwise a job may still use the run log, its mutex and benchResults, which a normal end would
// destroy: the process ends here with exitCode, after flushing standard output.
int EndProcess(int exitCode);

// Adds "systemStates" (when any), "components", "logs" and the run's last systemInfo facts to the
// document and returns its text.
std::string AssembleResultDocument(RunState& run, const std::string& seconds);
