// Throughput of the child runner: message lines from the fake child through RunChild (cut, routed
// into the run log), against the same child writing into a pipe that is only drained.
// Usage: runner_bench.exe FAKE_CHILD.exe [MEGABYTES]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/run_log.h"
#include "common/platform/scoped_handle.h"
#include "engine/child_runner.h"

namespace {

// Lines of 100 bytes with their CR LF: "S: " lines are cut and logged up to one child's log caps
// (then counted and dropped), "R: " lines only cut.
const std::string kBody(95, 'q');
constexpr size_t kLineBytes = 3 + 95 + 2;

std::string Request(const char* prefix, unsigned long lines) {
  return "{\"FAKE_SCRIPT\":[\"repeat:" + std::to_string(lines) + ":" + prefix + kBody +
         "\",\"line:R: {}\"]}";
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Starts the child on a pipe and drains it in 4096-byte reads; returns the bytes read.
unsigned long long DrainRaw(const std::string& command, const std::string& request) {
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  ScopedHandle outRead, outWrite, inRead, inWrite;
  CreatePipe(outRead.out(), outWrite.out(), &inheritable, 0);
  CreatePipe(inRead.out(), inWrite.out(), &inheritable, 0);
  SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(inWrite.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead.get();
  startup.hStdOutput = outWrite.get();
  startup.hStdError = outWrite.get();
  PROCESS_INFORMATION info{};
  std::string commandLine = command;
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return 0;
  }
  ScopedHandle process(info.hProcess), thread(info.hThread);
  DWORD written = 0;
  WriteFile(inWrite.get(), request.data(), DWORD(request.size()), &written, nullptr);
  inWrite.close();
  inRead.close();
  outWrite.close();
  unsigned long long total = 0;
  char block[4096];
  DWORD got = 0;
  while (ReadFile(outRead.get(), block, sizeof(block), &got, nullptr)) total += got;
  return total;
}

// Bounded only against a hang: the child ends long before.
constexpr DWORD kChildBoundMs = 10 * 60 * 1000;
}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: runner_bench FAKE_CHILD.exe [MEGABYTES]\n");
    return 2;
  }
  std::string command = std::string("\"") + argv[1] + "\"";
  unsigned long megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100;
  unsigned long lines = megabytes * 1000000ul / kLineBytes;
  double megabytesSent = double(lines) * double(kLineBytes) / 1e6;

  for (const char* prefix : {"S: ", "R: "}) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    std::string result = RunChild(command, Request(prefix, lines), kChildBoundMs);
    QueryPerformanceCounter(&end);
    double seconds = Seconds(start, end);
    size_t logBytes = runLog.str().size();
    runLog.str(std::string());
    std::printf("RunChild, \"%s\" lines: %.1f MB in %lu lines, %.2f s: %.1f MB/s, %.0f lines/s "
                "(result %s, run log %.1f MB)\n",
                prefix, megabytesSent, lines, seconds, megabytesSent / seconds, lines / seconds,
                result.c_str(), logBytes / 1e6);
  }

  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  unsigned long long raw = DrainRaw(command, Request("S: ", lines));
  QueryPerformanceCounter(&end);
  double seconds = Seconds(start, end);
  std::printf("raw pipe, drained only: %.1f MB, %.2f s: %.1f MB/s, %.0f lines/s\n", raw / 1e6,
              seconds, raw / 1e6 / seconds, lines / seconds);
  return 0;
}
