#pragma once
// Texts of the display configuration as byte strings.
#include <windows.h>

#include <cstddef>
#include <string>

#include "common/text_encoding.h"  // Latin1AsUtf8 for the narrowed texts

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
