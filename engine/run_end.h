#pragma once
// The end of a run: the finished document and the result file.
#include <string>

#include "engine/run_state.h"

// Adds "systemStates" (when any), "components", "logs" and the run's last systemInfo facts to the
// document and returns its text.
std::string AssembleResultDocument(RunState& run, const std::string& seconds);

// Writes "rawBenchData=" and the payload of the document text to "rawresults.dat".
void WriteResultFile(const std::string& documentText);
