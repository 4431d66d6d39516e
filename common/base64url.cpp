#include "common/base64url.h"

std::string Base64UrlEncode(const unsigned char* bytes, size_t length) {
  std::string out;
  out.reserve((length + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    unsigned b0 = bytes[i], b1 = bytes[i + 1], b2 = bytes[i + 2];
    out += base64UrlAlphabet[b0 >> 2];
    out += base64UrlAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
    out += base64UrlAlphabet[((b1 & 0x0F) << 2) | (b2 >> 6)];
    out += base64UrlAlphabet[b2 & 0x3F];
  }
  size_t left = length - i;
  if (left == 1) {
    unsigned b0 = bytes[i];
    out += base64UrlAlphabet[b0 >> 2];
    out += base64UrlAlphabet[(b0 & 0x03) << 4];
    out += "**";
  } else if (left == 2) {
    unsigned b0 = bytes[i], b1 = bytes[i + 1];
    out += base64UrlAlphabet[b0 >> 2];
    out += base64UrlAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
    out += base64UrlAlphabet[(b1 & 0x0F) << 2];
    out += '*';
  }
  return out;
}
