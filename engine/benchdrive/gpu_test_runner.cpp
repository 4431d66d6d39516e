#include "engine/benchdrive/gpu_test_runner.h"

#include <vector>

#include "common/console_line.h"
#include "common/platform/scoped_handle.h"
#include "common/run_log.h"
#include "common/text_helpers.h"
#include "engine/child_tree.h"
#include "engine/benchdrive/gpu_test_result.h"

namespace {
constexpr UINT kEndedTestExitCode = 1;

// Starts the test in a process group and a job of its own, shown normally; it inherits no handle,
// so it can hold no pipe end of a background job's child started at the same moment.
bool StartGpuTest(std::string& commandLine, ScopedHandle& process, ScopedHandle& thread,
                  ChildTree& tree) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back('\0');
  PROCESS_INFORMATION info = {};
  // Suspended until it is in its job, so that nothing it starts escapes the job.
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_PROCESS_GROUP | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  commandLine.assign(writable.data());
  process.reset(info.hProcess);
  thread.reset(info.hThread);
  return tree.Hold(process.get(), thread.get());
}
}  // namespace

int RunGpuTest(std::string& commandLine, const std::string& exeName, const std::string& displayName,
               double& fps, DWORD waitLimitMs) {
  ChildTree tree;
  ScopedHandle process, thread;
  if (!StartGpuTest(commandLine, process, thread, tree)) {
    WriteLogLine(kLogB, __LINE__, "ERROR: CreateProcess failed " + LastErrorText());
    return 1;
  }
  if (WaitForSingleObject(process.get(), waitLimitMs) == WAIT_TIMEOUT) {
    // With every process it started: none of them outlives the bound.
    tree.End(kEndedTestExitCode);
    WaitForSingleObject(process.get(), kEndedChildWaitMs);
    thread.close();
    process.close();
    WriteLogLine(kLogS, __LINE__,
                 "ERROR: " + displayName + " did not end within " +
                     ToString(unsigned(waitLimitMs / 1000)) + " s and was ended");
    return 1;
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.get(), &exitCode);
  // The test is done: nothing it started runs on into the next test.
  EndLeftovers(tree, displayName, kEndedTestExitCode);
  thread.close();
  process.close();

  const std::string procRetCode = "ERROR: " + displayName + " procretcode: ";
  if (exitCode != 0) {
    WriteLogLine(kLogS, __LINE__, procRetCode + ToString(unsigned(exitCode)));
    return 1;
  }
  const std::string fileName = exeName + ".dat";
  GpuTestResult result;
  if (!ReadGpuTestResult(fileName, result)) {
    WriteLogLine(kLogS, __LINE__, procRetCode + "0");
    return 1;
  }
  DeleteFileA(fileName.c_str());
  WriteLogLine(kLogS, __LINE__,
               "INFO: " + displayName + " FPS: " + DoubleToString(result.fps) + " FS=(" +
                   result.frameStats + ") DS=(" + result.deviceStats + ") FPSDET=(" +
                   result.fpsDetail + ")");
  fps = result.fps;
  return 0;
}

void RunAdapterTests(const std::vector<GpuTestRow>& gpuTestTable, int ordinal, Tree& component,
                     const GpuTestLaunch& launch) {
  Tree benchmarks;
  for (const GpuTestRow& row : gpuTestTable) {
    const std::string exeName = ExecutableName(row);
    std::string commandLine = launch.programFolder + exeName + gpuTestArgs + ToString(ordinal);
    double fps = 0.0;
    if (RunGpuTest(commandLine, exeName, row.displayName, fps, launch.waitLimitMs) != 0) {
      WriteLogLine(kLogB, __LINE__,
                   "ERROR: " + row.displayName +
                       " GPU benchmark failed, aborting further tests on this GPU");
      break;
    }
    const std::string score = DoubleToString(RoundDecimals(1, fps));
    ConsoleLine("INFO: GPU score on " + row.displayName + " = " + score + " FPS");
    benchmarks.add(BenchmarksKey(row), score);
  }
  if (!benchmarks.empty()) component.add_child("benchmarks", benchmarks);
}
