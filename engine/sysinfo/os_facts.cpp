#include "engine/sysinfo/os_facts.h"

#include <windows.h>

#include "common/platform/module_symbol.h"

namespace {
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

bool firstUptimeCall = true;
double inverseCounterFrequency = 0.0;
}  // namespace

std::string GetBitness() {
#ifdef _WIN64
  return "64Bit";  // a 64-bit program runs on 64-bit Windows only
#else
  std::string bitness = "naBit";
  // Missing on the oldest systems, so looked up at every call rather than imported.
  const auto isWow64Process = LookUpLoadedSymbol<IsWow64ProcessFn>("kernel32", "IsWow64Process");
  if (isWow64Process != nullptr) {
    BOOL wow64 = FALSE;
    if (isWow64Process(GetCurrentProcess(), &wow64)) bitness = wow64 ? "64Bit" : "32Bit";
  }
  return bitness;
#endif
}

double GetMillisecondsSinceBoot() {
  if (firstUptimeCall) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    inverseCounterFrequency = 1.0 / static_cast<double>(frequency.QuadPart);
    firstUptimeCall = false;
  }
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * inverseCounterFrequency * 1000.0;
}
