#include "common/text_helpers.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <sstream>

#include "common/platform/memory_blocks.h"

double RoundDecimals(int n, double x) {
  unsigned exponent = static_cast<unsigned>(n < 0 ? -n : n);
  double p = 1.0;
  double square = 10.0;
  for (; exponent != 0; exponent >>= 1) {
    if (exponent & 1u) p *= square;
    square *= square;
  }
  if (n < 0) p = 1.0 / p;
  return std::floor(x * p + 0.5) / p;
}

uint32_t ElapsedMs(uint32_t startTick) {
  return static_cast<uint32_t>(timeGetTime()) - startTick;
}

namespace {
bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

template <typename T>
std::string StreamText(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}
}  // namespace

std::string& TrimLeft(std::string& text) {
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), IsBlank));
  return text;
}

std::string& TrimRight(std::string& text) {
  text.erase(std::find_if_not(text.rbegin(), text.rend(), IsBlank).base(), text.end());
  return text;
}

std::string ToString(unsigned value) { return StreamText(value); }
std::string ToString(int value) { return StreamText(value); }
std::string ToString(bool value) { return StreamText(value); }
std::string DoubleToString(double value) { return StreamText(value); }

std::string ErrorCodeText(unsigned long code) {
  if (code == 0) return std::string();
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0,
      nullptr);
  const LocalBlock<char> owned(buffer);
  if (length == 0) return std::string();
  std::string text(buffer, length);
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
  return text + " (" + std::to_string(code) + ")";
}

std::string LastErrorText() { return ErrorCodeText(GetLastError()); }

std::string UtcTimeString() {
  __time64_t now = _time64(nullptr);
  struct tm utc {};
  _gmtime64_s(&utc, &now);
  char buffer[80];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %X", &utc);
  return buffer;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string ExtractBetween(const std::string& text) {
  size_t a = text.rfind('\\');
  size_t e = text.rfind('&');
  if (a == std::string::npos || e == std::string::npos) return std::string();
  if (e < a) return text.substr(a);
  return text.substr(a, e - a);
}

std::string ExtractAfterMarker(const std::string& text, const std::string& startMarker,
                               const std::string& endMarker) {
  size_t s = text.find(startMarker);
  size_t e = text.rfind(endMarker);
  if (s == std::string::npos || e == std::string::npos) return std::string();
  size_t start = s + startMarker.size();
  if (e < start) return text.substr(start);
  return text.substr(start, e - start);
}

std::string& ToLowerInPlace(std::string& text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}
