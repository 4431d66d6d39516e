#pragma once
// A function of a module that the process has loaded already, looked up by name and typed. It
// loads and frees nothing: the lookups are for functions that older systems lack, in modules that
// are there anyway.
#include <windows.h>

// The function, or null when the module is not loaded or lacks it.
template <typename Function>
Function LookUpLoadedSymbol(const char* moduleName, const char* symbolName) {
  const HMODULE module = GetModuleHandleA(moduleName);
  if (module == nullptr) return nullptr;
  const FARPROC proc = GetProcAddress(module, symbolName);
  // Through void*, so the compiler does not warn about the cast between function types.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}
