#pragma once
// Owns one Windows handle and closes it when it goes out of scope.
#include <windows.h>

class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  HANDLE get() const { return handle_; }
  HANDLE* out() { close(); return &handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE release() {
    HANDLE h = handle_;
    handle_ = nullptr;
    return h;
  }
  void reset(HANDLE handle = nullptr) {
    close();
    handle_ = handle;
  }
  // Closes now; returns false when CloseHandle failed.
  bool close() {
    bool ok = true;
    if (valid()) ok = CloseHandle(handle_) != 0;
    handle_ = nullptr;
    return ok;
  }

 private:
  HANDLE handle_ = nullptr;
};
