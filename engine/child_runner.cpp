#include "engine/child_runner.h"

#include <atomic>
#include <string>
#include <vector>

#include "common/run_log.h"
#include "common/platform/scoped_handle.h"
#include "common/text_helpers.h"
#include "engine/capped_lines.h"
#include "engine/child_log_budget.h"
#include "engine/message_lines.h"

const char* const kRunnerLaunchFailed =
    "{\"BENCHRUNNER_ERROR\":\"Failed to launch child process correctly\"}";
const char* const kRunnerNoResults = "{\"BENCHRUNNER_ERROR\":\"No results retured from child\"}";

namespace {

constexpr DWORD kReadBlockSize = 4096;
// What CreatePipe gives when it is asked for the default size.
constexpr DWORD kDefaultPipeBuffer = 4096;
// The exit code of a child that the runner ended past its bound, and of what it left running.
constexpr UINT kEndedChildExitCode = 1;

// The attribute list that limits what one child inherits to the handles named in it. Without it,
// a child started by another thread while this child's pipe ends are still inheritable would hold
// copies of them, and neither this child's end of input nor the end of its output would come.
class InheritOnly {
 public:
  InheritOnly(HANDLE first, HANDLE second) : handles_{first, second} {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    list_ = list;
    ok_ = UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_,
                                    sizeof(handles_), nullptr, nullptr) != 0;
  }
  ~InheritOnly() {
    if (list_ != nullptr) DeleteProcThreadAttributeList(list_);
  }
  InheritOnly(const InheritOnly&) = delete;
  InheritOnly& operator=(const InheritOnly&) = delete;

  bool ok() const { return ok_; }
  LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

 private:
  HANDLE handles_[2];
  std::vector<char> storage_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
  bool ok_ = false;
};

// Security attributes that make a handle inheritable from its creation.
SECURITY_ATTRIBUTES Inheritable() {
  SECURITY_ATTRIBUTES inheritable = {};
  inheritable.nLength = sizeof(inheritable);
  inheritable.bInheritHandle = TRUE;
  return inheritable;
}

bool CreateInheritablePipe(ScopedHandle& readEnd, ScopedHandle& writeEnd) {
  SECURITY_ATTRIBUTES inheritable = Inheritable();
  return CreatePipe(readEnd.out(), writeEnd.out(), &inheritable, 0) != 0;
}

// The output pipe: a named pipe of this call's own, so that the run engine's end can be read with
// a time limit (an anonymous pipe's read blocks until data or the pipe's end). The child's end is
// inheritable and synchronous, like an anonymous pipe's; the run engine's end is neither.
bool CreateOutputPipe(ScopedHandle& readEnd, ScopedHandle& writeEnd) {
  static std::atomic<unsigned> pipeNumber{0};
  const std::string name = "\\\\.\\pipe\\CorvanaRunEngine." +
                           ToString(unsigned(GetCurrentProcessId())) + "." +
                           ToString(unsigned(++pipeNumber));
  readEnd.reset(CreateNamedPipeA(name.c_str(),
                                 PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED |
                                     FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT |
                                     PIPE_REJECT_REMOTE_CLIENTS,
                                 1, 0, kDefaultPipeBuffer, 0, nullptr));
  if (!readEnd.valid()) return false;
  SECURITY_ATTRIBUTES inheritable = Inheritable();
  writeEnd.reset(CreateFileA(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  return writeEnd.valid();
}

bool MakeNotInheritable(const ScopedHandle& handle) {
  return SetHandleInformation(handle.get(), HANDLE_FLAG_INHERIT, 0) != 0;
}

// Starts the child with its standard input on childInput and standard output and error on
// childOutput, in the run engine's directory and environment, inside a job of its own.
bool StartChild(const std::string& commandLine, HANDLE childInput, HANDLE childOutput,
                ScopedHandle& process, ScopedHandle& thread, ChildTree& tree) {
  InheritOnly inheritOnly(childInput, childOutput);
  if (!inheritOnly.ok()) return false;

  STARTUPINFOEXA startup = {};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = childInput;
  startup.StartupInfo.hStdOutput = childOutput;
  startup.StartupInfo.hStdError = childOutput;
  startup.lpAttributeList = inheritOnly.get();

  std::vector<char> writableCommand(commandLine.begin(), commandLine.end());
  writableCommand.push_back('\0');
  PROCESS_INFORMATION info = {};
  // Suspended until it is in its job, so that nothing it starts escapes the job.
  if (!CreateProcessA(nullptr, writableCommand.data(), nullptr, nullptr, TRUE,
                      EXTENDED_STARTUPINFO_PRESENT | CREATE_SUSPENDED, nullptr, nullptr,
                      &startup.StartupInfo, &info)) {
    return false;
  }
  process.reset(info.hProcess);
  thread.reset(info.hThread);
  return tree.Hold(process.get(), thread.get());
}

bool WriteRequest(HANDLE inputWriteEnd, const std::string& requestText) {
  DWORD written = 0;
  BOOL ok = WriteFile(inputWriteEnd, requestText.data(), static_cast<DWORD>(requestText.size()),
                      &written, nullptr);
  // A short write would hand the child a cut request.
  return ok && written == requestText.size();
}

// The deadline of a bound of INFINITE, which never falls due.
constexpr ULONGLONG kNoDeadline = ~0ULL;

DWORD MsUntil(ULONGLONG deadline) {
  if (deadline == kNoDeadline) return INFINITE;
  const ULONGLONG now = GetTickCount64();
  return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

std::atomic<unsigned> childrenEndedAtTheirBound{0};

// Cuts one block into lines and routes them; what the child would log past its budget is dropped.
void RouteBlock(const char* block, DWORD length, CappedLineCutter& cutter, ChildLogBudget& budget,
                std::vector<std::string>& lines, std::string& result) {
  lines.clear();
  const std::vector<size_t> drops = cutter.Cut(block, length, lines);
  size_t nextDrop = 0;
  for (size_t i = 0; i <= lines.size(); ++i) {
    for (; nextDrop < drops.size() && drops[nextDrop] == i; ++nextDrop) {
      WriteLogLine(kLogB, __LINE__,
                   "ERROR: dropped a child's message line longer than " +
                       ToString(unsigned(kMessageLineCap)) + " bytes");
    }
    if (i == lines.size()) break;
    const MessageLineKind kind = ClassifyMessageLine(lines[i]);
    if (LogsMessageLine(kind) && !budget.Admit(lines[i].size())) continue;
    RouteMessageLine(lines[i], kind, result);
  }
}

}  // namespace

unsigned ChildrenEndedAtTheirBound() { return childrenEndedAtTheirBound; }

ChildReading ReadChildOutput(HANDLE readEnd, HANDLE process, const ChildTree& tree,
                             DWORD timeLimitMs, const std::string& commandLine) {
  ChildReading reading;
  reading.result = kRunnerNoResults;
  const ULONGLONG bound = timeLimitMs == INFINITE ? kNoDeadline : GetTickCount64() + timeLimitMs;
  bool childEnded = false;
  CappedLineCutter cutter;
  ChildLogBudget budget;
  std::vector<std::string> lines;
  char block[kReadBlockSize];
  ScopedHandle readDone(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!readDone.valid()) {
    reading.endError = GetLastError();
    WriteLogLine(kLogB, __LINE__, "ERROR: failed to read results: " + LastErrorText());
  }
  // Until the child has ended: its bound; after that: the end of the grace period.
  ULONGLONG deadline = bound;
  bool abandoned = false;
  while (readDone.valid() && !abandoned) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = readDone.get();
    if (!ReadFile(readEnd, block, kReadBlockSize, nullptr, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
      reading.endError = GetLastError();
      break;
    }
    // The read blocks (no polling) until data comes, the child ends or the deadline passes.
    for (;;) {
      const HANDLE waits[] = {readDone.get(), process};
      const DWORD wait =
          WaitForMultipleObjects(childEnded ? 1 : 2, waits, FALSE, MsUntil(deadline));
      if (wait == WAIT_OBJECT_0) break;
      if (wait == WAIT_OBJECT_0 + 1 || (wait == WAIT_TIMEOUT && !childEnded)) {
        if (wait == WAIT_TIMEOUT) {
          reading.endedAtBound = tree.End(kEndedChildExitCode);
        }
        childEnded = true;
        deadline = GetTickCount64() + kPipeGraceMs;
        continue;
      }
      // The grace period is over and the pipe is still held open (or the wait itself failed,
      // which the cancelled read then reports as a failed read).
      abandoned = wait == WAIT_TIMEOUT;
      CancelIoEx(readEnd, &overlapped);
      break;
    }
    DWORD got = 0;
    // Waits for a cancelled read to be given up; a read that completed meanwhile keeps its bytes.
    const bool read = GetOverlappedResult(readEnd, &overlapped, &got, TRUE) != 0;
    if (!read) reading.endError = GetLastError();
    // A zero-length write of the child arrives as an empty read; only a broken pipe ends it.
    if (got > 0) RouteBlock(block, got, cutter, budget, lines, reading.result);
    if (!read) break;
  }
  // The end of the output is not the end of the child: one that closed its output and runs on is
  // bounded like any other.
  if (!childEnded && WaitForSingleObject(process, MsUntil(bound)) == WAIT_TIMEOUT) {
    reading.endedAtBound = tree.End(kEndedChildExitCode);
  }
  reading.unfinishedLine = cutter.InsideALine();
  if (abandoned) {
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: " + commandLine + " has ended, but its output pipe was still open " +
                     ToString(unsigned(kPipeGraceMs / 1000)) +
                     " s later (held by a process it started): the pipe was abandoned");
  } else if (reading.endError != ERROR_BROKEN_PIPE && readDone.valid()) {
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: failed to read results: " + ErrorCodeText(reading.endError));
  }
  if (budget.droppedLines() > 0) {
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: dropped " + std::to_string(budget.droppedLines()) + " message lines (" +
                     std::to_string(budget.droppedBytes()) + " bytes) of " + commandLine +
                     " past the run log's cap of " + std::to_string(kChildLogLineCap) +
                     " lines or " + std::to_string(kChildLogByteCap) + " bytes per child");
  }
  return reading;
}

std::string RunChild(const std::string& commandLine, const std::string& requestText,
                     DWORD timeLimitMs) {
  std::string result = kRunnerLaunchFailed;
  // Declared so that an early return closes the pipe ends before the process handles.
  ChildTree tree;
  ScopedHandle process, thread;
  ScopedHandle outputRead, outputWrite, inputRead, inputWrite;

  if (!CreateOutputPipe(outputRead, outputWrite) || !CreateInheritablePipe(inputRead, inputWrite)) {
    WriteLogLine(kLogB, __LINE__, "ERROR: CreatePipe failed: " + LastErrorText());
    return result;
  }
  if (!MakeNotInheritable(outputRead) || !MakeNotInheritable(inputWrite)) {
    WriteLogLine(kLogB, __LINE__, "ERROR: SetHandleInformation failed: " + LastErrorText());
    return result;
  }
  if (!StartChild(commandLine, inputRead.get(), outputWrite.get(), process, thread, tree)) {
    WriteLogLine(kLogB, __LINE__, "ERROR: CreateProcess failed: " + LastErrorText());
    return result;
  }
  if (!WriteRequest(inputWrite.get(), requestText)) {
    WriteLogLine(kLogB, __LINE__, "ERROR: Dispatch command failed: " + LastErrorText());
    return result;
  }
  // From here on only the child holds the write end of its output, so the reading ends with it.
  if (!inputWrite.close() || !inputRead.close() || !outputWrite.close()) {
    WriteLogLine(kLogB, __LINE__, "ERROR: Close pipe handle failed: " + LastErrorText());
    return result;
  }

  const ChildReading reading =
      ReadChildOutput(outputRead.get(), process.get(), tree, timeLimitMs, commandLine);
  // The answer it sent before its bound is kept; the run counts the child as crashed.
  result = reading.result;
  if (reading.endedAtBound) {
    ++childrenEndedAtTheirBound;
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: " + commandLine + " did not end within " +
                     ToString(unsigned(timeLimitMs / 1000)) + " s and was ended");
  }

  if (reading.result == kRunnerNoResults) {
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: " + commandLine + " ended without an answer" +
                     (reading.unfinishedLine ? " (its last line had no line feed)" : ""));
  }

  // Only a process that has ended has an exit code (a running one reads "still active"); one
  // ended at its bound goes away a moment later.
  if (WaitForSingleObject(process.get(), reading.endedAtBound ? kEndedChildWaitMs : 0) ==
      WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    if (exitCode != 0) {
      WriteLogLine(kLogS, __LINE__,
                   "ERROR: " + commandLine + " Abnormal child exit code: (" +
                       ToString(unsigned(exitCode)) +
                       ") Last error: " + ErrorCodeText(reading.endError));
    }
    // The runner is done with the child: nothing it started runs on.
    EndLeftovers(tree, commandLine, kEndedChildExitCode);
  }
  if (!process.close() || !thread.close() || !outputRead.close()) {
    WriteLogLine(kLogS, __LINE__,
                 "ERROR: " + commandLine + " Failed to close non critical handles: " + LastErrorText());
  }
  return result;
}
