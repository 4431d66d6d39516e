#pragma once
// Owns a module the process loads itself, and frees it when it goes out of scope.
#include <windows.h>

class ScopedModule {
 public:
  ScopedModule() = default;
  explicit ScopedModule(const wchar_t* name) : module_(LoadLibraryW(name)) {}
  ~ScopedModule() { reset(); }
  ScopedModule(const ScopedModule&) = delete;
  ScopedModule& operator=(const ScopedModule&) = delete;
  ScopedModule(ScopedModule&& other) noexcept : module_(other.module_) { other.module_ = nullptr; }
  ScopedModule& operator=(ScopedModule&& other) noexcept {
    if (this != &other) {
      reset();
      module_ = other.module_;
      other.module_ = nullptr;
    }
    return *this;
  }

  HMODULE get() const { return module_; }
  explicit operator bool() const { return module_ != nullptr; }
  // The function of this module, typed; null when the module is missing or lacks it.
  template <typename Function>
  Function Symbol(const char* name) const {
    if (module_ == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  void reset() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }

 private:
  HMODULE module_ = nullptr;
};
