#include "tests/support/payload_decoder.h"

#include <zlib.h>

namespace {
const std::string kPrefix = "rawBenchData=";
const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string DecodeBase64Url(const std::string& text) {
  std::string out;
  unsigned bits = 0, count = 0;
  for (char c : text) {
    if (c == '*') break;
    size_t value = kAlphabet.find(c);
    if (value == std::string::npos) return std::string();
    bits = (bits << 6) | static_cast<unsigned>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

std::string Inflate(const std::string& stream) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::string();
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  z.avail_in = static_cast<uInt>(stream.size());
  std::string out;
  char buffer[65536];
  int code;
  do {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    code = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
  } while (code == Z_OK);
  inflateEnd(&z);
  return code == Z_STREAM_END ? out : std::string();
}
}  // namespace

std::string DecodeResultFile(const std::string& fileContent) {
  if (fileContent.compare(0, kPrefix.size(), kPrefix) != 0) return std::string();
  return Inflate(DecodeBase64Url(fileContent.substr(kPrefix.size())));
}
