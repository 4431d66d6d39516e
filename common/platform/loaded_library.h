#pragma once
// A library this process loads itself (a vendor's driver library, a runtime that may be missing),
// freed when the holder goes out of scope.
#include <windows.h>

class LoadedLibrary {
 public:
  LoadedLibrary() = default;
  explicit LoadedLibrary(const char* name) : module_(LoadLibraryA(name)) {}
  explicit LoadedLibrary(const wchar_t* name) : module_(LoadLibraryW(name)) {}
  ~LoadedLibrary() { reset(); }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  LoadedLibrary(LoadedLibrary&& other) noexcept : module_(other.module_) { other.module_ = nullptr; }
  LoadedLibrary& operator=(LoadedLibrary&& other) noexcept {
    if (this != &other) {
      reset();
      module_ = other.module_;
      other.module_ = nullptr;
    }
    return *this;
  }

  HMODULE get() const { return module_; }
  bool loaded() const { return module_ != nullptr; }
  explicit operator bool() const { return loaded(); }
  // The exported function, typed, or null when the library is not loaded or lacks it.
  template <typename Function>
  Function Symbol(const char* name) const {
    if (module_ == nullptr) return nullptr;
    // Through void*, so the compiler does not warn about the cast between function types.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  void reset() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }

 private:
  HMODULE module_ = nullptr;
};
