#pragma once
// A library this process loads itself, freed when the holder goes out of scope.
#include <windows.h>

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* name) : module_(LoadLibraryA(name)) {}
  ~LoadedLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool loaded() const { return module_ != nullptr; }
  // The exported function, typed, or null when the library is not loaded or lacks it.
  template <typename Function>
  Function Symbol(const char* name) const {
    if (module_ == nullptr) return nullptr;
    // Through void*, so the compiler does not warn about the cast between function types.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};
