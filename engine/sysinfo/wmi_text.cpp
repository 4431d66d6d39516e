#include "engine/sysinfo/wmi_text.h"

#include <windows.h>

#include <cstdio>

std::wstring MultiByteToWide(const std::string& text, unsigned codePage) {
  if (text.empty()) return std::wstring();
  const int length =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length < 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

std::string WideToMultiByte(const std::wstring& text, unsigned codePage) {
  if (text.empty()) return std::string();
  const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  if (length < 1) return std::string();
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length,
                      nullptr, nullptr);
  return bytes;
}

std::wstring Utf8ToWide(const std::string& text) { return MultiByteToWide(text, CP_UTF8); }

void WideToUtf8(const wchar_t* source, std::string& target) {
  target.clear();
  if (source == nullptr) return;
  const int length = WideCharToMultiByte(CP_UTF8, 0, source, -1, nullptr, 0, nullptr, nullptr);
  if (length < 1) return;
  target.resize(static_cast<size_t>(length));
  WideCharToMultiByte(CP_UTF8, 0, source, -1, &target[0], length, nullptr, nullptr);
  target.pop_back();  // the converted terminator
}

void SplitAny(const std::string& text, std::vector<std::string>& pieces,
              const std::string& delimiters) {
  size_t position = 0;
  for (;;) {
    const size_t next = text.find_first_of(delimiters, position);
    if (next == std::string::npos) {
      pieces.push_back(text.substr(position));
      return;
    }
    pieces.push_back(text.substr(position, next - position));
    position = next + 1;
  }
}

std::string ResultCodeText(long code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(code));
  return text;
}
