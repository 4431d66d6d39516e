#include "tests/support/temp_dir.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  for (;;) {
    path_ = std::string(base) + "corvana-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter++);
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool TempDir::Copy(const std::string& from, const std::string& name) const {
  return CopyFileA(from.c_str(), File(name).c_str(), FALSE) != 0;
}

bool TempDir::Exists(const std::string& name) const {
  return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void TempDir::Write(const std::string& name, const std::string& content) const {
  std::ofstream(File(name), std::ios::binary) << content;
}

std::set<std::string> TempDir::Names() const {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(File("*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.insert(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}
