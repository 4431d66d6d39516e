#include "common/text_encoding.h"

#include <cstddef>

namespace {
void AppendLatin1(std::string& text, unsigned char code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsContinuation(unsigned char code) { return (code & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at bytes[at], or 0 when there is none. The second
// byte's range excludes overlong forms (E0, F0), surrogates (ED) and code points past U+10FFFF
// (F4).
size_t SequenceLength(const std::string& bytes, size_t at) {
  const auto byte = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;  // a continuation byte, C0, C1 or F5 and above cannot start a sequence
  }
  if (bytes.size() - at < length) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (!IsContinuation(byte(at + i))) return 0;
  }
  return length;
}
}  // namespace

std::string Latin1AsUtf8(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char byte : bytes) AppendLatin1(text, static_cast<unsigned char>(byte));
  return text;
}

std::string Utf8OrLatin1(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t length = SequenceLength(bytes, at);
    if (length == 0) {
      AppendLatin1(text, static_cast<unsigned char>(bytes[at]));
      at += 1;
    } else {
      text.append(bytes, at, length);
      at += length;
    }
  }
  return text;
}
