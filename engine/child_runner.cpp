#include "engine/child_runner.h"

#include <atomic>
#include <vector>

#include "common/run_log.h"
#include "common/platform/scoped_handle.h"
#include "common/text_helpers.h"
#include "engine/capped_lines.h"
#include "engine/message_lines.h"

const char* const kRunnerLaunchFailed =
    "{\"BENCHRUNNER_ERROR\":\"Failed to launch child process correctly\"}";
const char* const kRunnerNoResults = "{\"BENCHRUNNER_ERROR\":\"No results retured from child\"}";

namespace {

constexpr DWORD kReadBlockSize = 4096;
// The exit code of a child that the runner ended past its bound.
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

bool CreateInheritablePipe(ScopedHandle& readEnd, ScopedHandle& writeEnd) {
  SECURITY_ATTRIBUTES inheritable = {};
  inheritable.nLength = sizeof(inheritable);
  inheritable.bInheritHandle = TRUE;
  return CreatePipe(readEnd.out(), writeEnd.out(), &inheritable, 0) != 0;
}

bool MakeNotInheritable(const ScopedHandle& handle) {
  return SetHandleInformation(handle.get(), HANDLE_FLAG_INHERIT, 0) != 0;
}

// Starts the child with its standard input on childInput and standard output and error on
// childOutput, in the run engine's directory and environment.
bool StartChild(const std::string& commandLine, HANDLE childInput, HANDLE childOutput,
                ScopedHandle& process, ScopedHandle& thread) {
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
  if (!CreateProcessA(nullptr, writableCommand.data(), nullptr, nullptr, TRUE,
                      EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &startup.StartupInfo,
                      &info)) {
    return false;
  }
  process.reset(info.hProcess);
  thread.reset(info.hThread);
  return true;
}

bool WriteRequest(HANDLE inputWriteEnd, const std::string& requestText) {
  DWORD written = 0;
  BOOL ok = WriteFile(inputWriteEnd, requestText.data(), static_cast<DWORD>(requestText.size()),
                      &written, nullptr);
  // A short write would hand the child a cut request.
  return ok && written == requestText.size();
}

// Ends the child when it is still running at its bound: its output pipe then breaks and the
// reading, which blocks in the read call, ends. The wait runs on the system's thread pool.
class ChildBound {
 public:
  ChildBound(HANDLE process, DWORD timeLimitMs) : process_(process) {
    if (!RegisterWaitForSingleObject(&wait_, process, OnWaitEnded, this, timeLimitMs,
                                     WT_EXECUTEONLYONCE)) {
      wait_ = nullptr;
    }
  }
  ~ChildBound() { disarm(); }
  ChildBound(const ChildBound&) = delete;
  ChildBound& operator=(const ChildBound&) = delete;

  bool armed() const { return wait_ != nullptr; }
  // Whether the child was ended; final once disarm() has returned.
  bool ended() const { return ended_; }
  // Waits for a callback that is running, so that it never outlives the process handle.
  void disarm() {
    if (wait_ != nullptr) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
    wait_ = nullptr;
  }

 private:
  static void CALLBACK OnWaitEnded(void* context, BOOLEAN timedOut) {
    auto* bound = static_cast<ChildBound*>(context);
    if (!timedOut) return;
    bound->ended_ = TerminateProcess(bound->process_, kEndedChildExitCode) != 0;
  }

  HANDLE process_;
  HANDLE wait_ = nullptr;
  std::atomic<bool> ended_{false};
};

}  // namespace

std::string ReadChildOutput(HANDLE readEnd) {
  std::string result = kRunnerNoResults;
  CappedLineCutter cutter;
  std::vector<std::string> lines;
  char block[kReadBlockSize];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(readEnd, block, kReadBlockSize, &got, nullptr)) break;
    // A zero-length write of the child arrives as an empty read; only a broken pipe ends it.
    if (got == 0) continue;
    lines.clear();
    const int dropped = cutter.Cut(block, got, lines);
    for (const std::string& line : lines) RouteMessageLine(line, result);
    for (int i = 0; i < dropped; ++i) {
      WriteLogLine(kLogB, __LINE__,
                   "ERROR: dropped a child's message line longer than " +
                       ToString(unsigned(kMessageLineCap)) + " bytes");
    }
  }
  if (GetLastError() != ERROR_BROKEN_PIPE) {
    WriteLogLine(kLogB, __LINE__, "ERROR: failed to read results: " + LastErrorText());
  }
  return result;
}

std::string RunChild(const std::string& commandLine, const std::string& requestText,
                     DWORD timeLimitMs) {
  std::string result = kRunnerLaunchFailed;
  // Declared so that an early return closes the pipe ends before the process handles.
  ScopedHandle process, thread;
  ScopedHandle outputRead, outputWrite, inputRead, inputWrite;

  if (!CreateInheritablePipe(outputRead, outputWrite) ||
      !CreateInheritablePipe(inputRead, inputWrite)) {
    WriteLogLine(kLogB, __LINE__, "ERROR: CreatePipe failed: " + LastErrorText());
    return result;
  }
  if (!MakeNotInheritable(outputRead) || !MakeNotInheritable(inputWrite)) {
    WriteLogLine(kLogB, __LINE__, "ERROR: SetHandleInformation failed: " + LastErrorText());
    return result;
  }
  if (!StartChild(commandLine, inputRead.get(), outputWrite.get(), process, thread)) {
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

  ChildBound bound(process.get(), timeLimitMs);
  if (!bound.armed()) {
    // The child runs on unbounded rather than being ended for the runner's own failure.
    WriteLogLine(kLogB, __LINE__, "ERROR: RegisterWaitForSingleObject failed: " + LastErrorText());
  }
  result = ReadChildOutput(outputRead.get());
  bound.disarm();
  if (bound.ended()) {
    WriteLogLine(kLogB, __LINE__,
                 "ERROR: " + commandLine + " did not end within " +
                     ToString(unsigned(timeLimitMs / 1000)) + " s and was ended");
    result = kRunnerNoResults;
  }

  DWORD exitCode = 0;
  GetExitCodeProcess(process.get(), &exitCode);
  if (exitCode != 0) {
    WriteLogLine(kLogS, __LINE__,
                 "ERROR: " + commandLine + " Abnormal child exit code: (" + ToString(unsigned(exitCode)) +
                     ") Last error: " + LastErrorText());
  }
  if (!process.close() || !thread.close() || !outputRead.close()) {
    WriteLogLine(kLogS, __LINE__,
                 "ERROR: " + commandLine + " Failed to close non critical handles: " + LastErrorText());
  }
  return result;
}
