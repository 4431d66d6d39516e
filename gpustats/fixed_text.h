#pragma once
// Texts a vendor library writes into fixed-size arrays.
#include <cstddef>
#include <cstring>
#include <string>

// The text up to its first zero byte, or the whole array when the library left out the terminator.
template <size_t Capacity>
std::string FixedText(const char (&text)[Capacity]) {
  return std::string(text, strnlen(text, Capacity));
}
