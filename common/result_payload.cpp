#include "common/result_payload.h"

#include <zlib.h>

#include <vector>

#include "common/base64url.h"

namespace {
constexpr size_t kChunk = 131072;
}

std::string CompressZlib(const unsigned char* bytes, size_t length) {
  std::string result;
  std::vector<unsigned char> buffer(kChunk);
  z_stream stream{};
  stream.next_in = const_cast<unsigned char*>(bytes);
  stream.avail_in = static_cast<uInt>(length);
  stream.next_out = buffer.data();
  stream.avail_out = kChunk;
  // Without a working stream deflate would never make progress: deliver nothing instead.
  if (deflateInit(&stream, 9) != Z_OK) return result;

  auto handBack = [&] {
    result.append(reinterpret_cast<const char*>(buffer.data()), kChunk);
    stream.next_out = buffer.data();
    stream.avail_out = kChunk;
  };
  while (stream.avail_in != 0) {
    if (deflate(&stream, Z_NO_FLUSH) == Z_STREAM_ERROR) break;
    if (stream.avail_out == 0) handBack();
  }
  int code;
  do {
    if (stream.avail_out == 0) handBack();
    code = deflate(&stream, Z_FINISH);
  } while (code == Z_OK);
  result.append(reinterpret_cast<const char*>(buffer.data()), kChunk - stream.avail_out);
  deflateEnd(&stream);
  return result;
}

std::string EncodeResultPayload(const std::string& text) {
  std::string compressed =
      CompressZlib(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  return Base64UrlEncode(reinterpret_cast<const unsigned char*>(compressed.data()),
                         compressed.size());
}
