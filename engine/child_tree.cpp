#include "engine/child_tree.h"

bool ChildTree::Hold(HANDLE process, HANDLE thread) {
  process_ = process;
  // Not inheritable: no child must hold its own job's handle.
  job_.reset(CreateJobObjectA(nullptr, nullptr));
  if (job_.valid() && !AssignProcessToJobObject(job_.get(), process)) job_.reset();
  if (ResumeThread(thread) == static_cast<DWORD>(-1)) {
    const DWORD error = GetLastError();
    End(1);
    SetLastError(error);
    return false;
  }
  return true;
}

bool ChildTree::End(UINT exitCode) const {
  if (job_.valid()) return TerminateJobObject(job_.get(), exitCode) != 0;
  return TerminateProcess(process_, exitCode) != 0;
}
