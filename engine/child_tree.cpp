#include "engine/child_tree.h"

#include <cstddef>

#include "common/run_log.h"
#include "common/text_helpers.h"

static_assert(sizeof(JOBOBJECT_BASIC_ACCOUNTING_INFORMATION) == 48, "job accounting record");
static_assert(offsetof(JOBOBJECT_BASIC_ACCOUNTING_INFORMATION, ActiveProcesses) == 40,
              "job accounting record");

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

unsigned ChildTree::EndRemaining(UINT exitCode) const {
  if (!job_.valid()) return 0;
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
  const bool counted = QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation,
                                                 &accounting, sizeof(accounting), nullptr) != 0;
  if (counted && accounting.ActiveProcesses == 0) return 0;
  // A job that cannot count its processes is ended all the same; ending an empty job does nothing.
  if (!TerminateJobObject(job_.get(), exitCode) || !counted) return 0;
  return accounting.ActiveProcesses;
}

void EndLeftovers(const ChildTree& tree, const std::string& program, UINT exitCode) {
  const unsigned ended = tree.EndRemaining(exitCode);
  if (ended == 0) return;
  WriteLogLine(kLogB, __LINE__,
               "ERROR: " + program + " has ended, but " + ToString(ended) +
                   (ended == 1 ? " process it started was still running: it was ended"
                               : " processes it started were still running: they were ended"));
}
