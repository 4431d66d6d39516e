#include "tests/doubles/fake_library_answers.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

nlohmann::json ReadAnswersBeside(const void* addressInLibrary, const char* fileName) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCSTR>(addressInLibrary), &module)) {
    return nlohmann::json::object();
  }
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  std::string file(path, length);
  file = file.substr(0, file.find_last_of('\\') + 1) + fileName;
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  nlohmann::json answers = nlohmann::json::parse(text.str(), nullptr, false);
  return answers.is_object() ? answers : nlohmann::json::object();
}

void CopyAnswerText(char* array, size_t capacity, const std::string& text) {
  std::memcpy(array, text.data(), std::min(text.size(), capacity));
}
