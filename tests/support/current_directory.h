#pragma once
// Makes a folder the process's working directory for one scope, for code that works relative to it.
#include <windows.h>

#include <string>

class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& path) {
    char previous[MAX_PATH];
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, previous);
    previous_.assign(previous, n < MAX_PATH ? n : 0);
    SetCurrentDirectoryA(path.c_str());
  }
  ~ScopedCurrentDirectory() { SetCurrentDirectoryA(previous_.c_str()); }
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

 private:
  std::string previous_;
};
