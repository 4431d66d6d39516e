#include "tests/support/process_runner.h"

#include <windows.h>
#include <psapi.h>

#include <thread>

#include "common/platform/scoped_handle.h"

std::string BinDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of("\\/"));
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1) {
    lines.push_back(text.substr(start, lf - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

ChildOutput CutChildOutput(const std::string& output) {
  ChildOutput cut;
  std::vector<std::string> lines = SplitLines(output);
  if (!output.empty() && output.back() != '\n') {
    cut.unterminated = lines.back();
    lines.pop_back();
  }
  for (std::string& line : lines) {
    if (line.empty() || line.back() != '\r') {
      cut.crlf = false;
    } else {
      line.pop_back();
    }
    cut.lines.push_back(line);
  }
  return cut;
}

ProcessResult RunProgram(const std::string& exePath, const std::string& args,
                         const std::string& stdinText, const std::string& workDir,
                         unsigned timeoutMs) {
  ProcessResult result;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  ScopedHandle inRead, inWrite, outRead, outWrite;
  if (!CreatePipe(inRead.out(), inWrite.out(), &inherit, 0) ||
      !CreatePipe(outRead.out(), outWrite.out(), &inherit, 0)) {
    return result;
  }
  SetHandleInformation(inWrite.get(), HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = inRead.get();
  si.hStdOutput = outWrite.get();
  si.hStdError = outWrite.get();
  std::string name = exePath.substr(exePath.find_last_of("\\/") + 1);
  std::string commandLine = "\"" + name + "\"" + (args.empty() ? "" : " " + args);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                      workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
    return result;
  }
  ScopedHandle process(pi.hProcess), thread(pi.hThread);
  inRead.close();
  outWrite.close();

  // Feed the input on its own thread so a program that writes before it reads cannot deadlock us.
  std::thread feeder([&] {
    DWORD written = 0;
    if (!stdinText.empty()) {
      WriteFile(inWrite.get(), stdinText.data(), static_cast<DWORD>(stdinText.size()), &written,
                nullptr);
    }
    inWrite.close();
  });
  // Reads until the pipe breaks or the program has ended and nothing is left: a process the program
  // started, such as Wine's desktop process (explorer.exe), may hold the write end long after it.
  std::thread reader([&] {
    char buffer[4096];
    for (;;) {
      DWORD available = 0;
      if (!PeekNamedPipe(outRead.get(), nullptr, 0, nullptr, &available, nullptr)) break;
      if (available == 0) {
        if (WaitForSingleObject(process.get(), 10) != WAIT_OBJECT_0) continue;
        // Ended: what it wrote before its end is in the pipe by now.
        if (!PeekNamedPipe(outRead.get(), nullptr, 0, nullptr, &available, nullptr) ||
            available == 0) {
          break;
        }
      }
      DWORD got = 0;
      const DWORD wanted = available < sizeof buffer ? available : static_cast<DWORD>(sizeof buffer);
      if (!ReadFile(outRead.get(), buffer, wanted, &got, nullptr) || got == 0) break;
      result.output.append(buffer, got);
    }
  });
  if (WaitForSingleObject(process.get(), timeoutMs) == WAIT_TIMEOUT) {
    result.timedOut = true;
    TerminateProcess(process.get(), 255);
    WaitForSingleObject(process.get(), INFINITE);
  }
  feeder.join();
  reader.join();
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  result.exitCode = static_cast<int>(code);
  PROCESS_MEMORY_COUNTERS memory = {};
  if (GetProcessMemoryInfo(process.get(), &memory, sizeof(memory))) {
    result.peakWorkingSetBytes = memory.PeakWorkingSetSize;
    result.peakPagefileBytes = memory.PeakPagefileUsage;
  }
  return result;
}
