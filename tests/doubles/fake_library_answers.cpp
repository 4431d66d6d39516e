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

namespace {
// JSON text is UTF-8, and a driver's texts are bytes: a character up to U+00FF stands for the byte
// of its number, so a description can give a driver any byte (U+00C3 for a lone 0xC3). Longer
// characters keep their UTF-8 bytes.
std::string DriverBytes(const std::string& text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if ((lead == 0xC2 || lead == 0xC3) && i + 1 < text.size()) {
      bytes += static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
      ++i;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}
}  // namespace

void CopyAnswerText(char* array, size_t capacity, const std::string& text) {
  const std::string bytes = DriverBytes(text);
  std::memcpy(array, bytes.data(), std::min(bytes.size(), capacity));
}
