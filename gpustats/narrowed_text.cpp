#include "gpustats/narrowed_text.h"

std::string Latin1AsUtf8(const std::string& bytes) {
  std::string text;
  for (const char byte : bytes) {
    const unsigned char code = static_cast<unsigned char>(byte);
    if (code < 0x80) {
      text += byte;
    } else {
      text += static_cast<char>(0xC0 | (code >> 6));
      text += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return text;
}
