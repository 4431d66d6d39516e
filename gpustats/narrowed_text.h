#pragma once
// Texts of the display configuration as byte strings.
#include <windows.h>

#include <cstddef>
#include <string>

// The UTF-16 text up to its first zero code unit (or the end of its array), each code unit cut to
// its low 8 bits: no code-page conversion.
template <size_t Capacity>
std::string NarrowedText(const WCHAR (&text)[Capacity]) {
  std::string bytes;
  for (size_t i = 0; i < Capacity && text[i] != 0; ++i) {
    bytes += static_cast<char>(text[i] & 0xFF);
  }
  return bytes;
}

// A narrowed text as a JSON string: each byte stands for the character of that number (Latin-1),
// so a byte of 0x80 or above becomes its two-byte UTF-8 form and the answer stays valid UTF-8.
std::string Latin1AsUtf8(const std::string& bytes);
