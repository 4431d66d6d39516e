#pragma once
// A process that a fake child started ("spawn:" with "own-pid:"), known by the id it wrote to a
// file: whether it still runs, and ended by the test if it does, so that none outlives the test.
#include <windows.h>

#include <string>

#include "common/platform/scoped_handle.h"

class SpawnedProcess {
 public:
  // Waits a little for the id to be written; a process already gone when it is read counts as not
  // running.
  explicit SpawnedProcess(const std::string& pidFile);
  ~SpawnedProcess();
  SpawnedProcess(const SpawnedProcess&) = delete;
  SpawnedProcess& operator=(const SpawnedProcess&) = delete;

  bool idWritten() const { return id_ != 0; }
  bool Running() const;

 private:
  DWORD id_ = 0;
  ScopedHandle process_;
};
