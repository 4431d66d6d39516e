#include "tests/support/spawned_process.h"

#include <fstream>

namespace {
constexpr DWORD kIdWaitMs = 10000;
constexpr DWORD kEndWaitMs = 10000;
}  // namespace

SpawnedProcess::SpawnedProcess(const std::string& pidFile) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kIdWaitMs) {
    std::ifstream file(pidFile);
    if (file >> id_ && id_ != 0) break;
    id_ = 0;
    Sleep(50);
  }
  if (id_ != 0) process_.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id_));
}

SpawnedProcess::~SpawnedProcess() {
  if (!Running()) return;
  TerminateProcess(process_.get(), 1);
  WaitForSingleObject(process_.get(), kEndWaitMs);
}

bool SpawnedProcess::Running() const {
  return process_.valid() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}
