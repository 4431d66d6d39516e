#pragma once
// A started child together with every process it starts, held in a job object of its own, so that
// a child ended at its bound takes what it started with it, and nothing it started outlives the
// runner's work with it: a helper left running would take processor and memory from every phase
// that follows and could keep the child's output pipe open.
#include <windows.h>

#include <string>

#include "common/platform/scoped_handle.h"

// How long a child ended with its tree may take to go away before its runner goes on without it.
constexpr DWORD kEndedChildWaitMs = 10000;

class ChildTree {
 public:
  ChildTree() = default;
  ChildTree(const ChildTree&) = delete;
  ChildTree& operator=(const ChildTree&) = delete;

  // Puts process, started suspended, into a job of its own, then lets thread run; false when the
  // thread could not be resumed (the process is then ended). Where no job can be made or joined
  // (a system that refuses a job inside the one the run engine runs in) the child runs all the
  // same, End can end only the child itself and EndRemaining nothing.
  bool Hold(HANDLE process, HANDLE thread);
  // Ends the child and every process in its job; true when the system took the call.
  bool End(UINT exitCode) const;
  // Ends every process still in the job, once the child itself has ended; returns how many there
  // were (0 also when the job could not say). Without a job the processes the child started
  // cannot be found and run on, as they always did there.
  unsigned EndRemaining(UINT exitCode) const;

 private:
  HANDLE process_ = nullptr;  // owned by the caller, which keeps it open while the tree is used
  ScopedHandle job_;
};

// Once the runner is done with the child (it ended by itself, at its bound, or its output was
// abandoned): ends what the child left running, with one run-log line naming program and how many
// processes there were.
void EndLeftovers(const ChildTree& tree, const std::string& program, UINT exitCode);
