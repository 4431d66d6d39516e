#pragma once
// The handlers around one benchmark child's run: a failure costs only that child's results.
#include <exception>
#include <string>

#include "common/exception_text.h"
#include "common/run_log.h"
#include "engine/run_state.h"

// Runs body; an exception out of it is logged with the child's reply so far and marks the run
// crashed.
template <class Body>
void GuardPhase(RunState& run, const char* benchName, const std::string& reply, Body body) {
  try {
    body();
  } catch (const std::exception& error) {
    WriteLogLine(kLogB, __LINE__,
                 std::string("ERROR: ") + benchName + " failed with error: " +
                     ExceptionText(error) + " (" + reply + ")");
    run.clientCrashed = true;
  } catch (...) {
    WriteLogLine(kLogB, __LINE__, std::string("ERROR: ") + benchName + " fatal error: " + reply);
    run.clientCrashed = true;
  }
}
