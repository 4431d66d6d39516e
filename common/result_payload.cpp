#include "common/result_payload.h"

#include <limits>
#include <stdexcept>
#include <vector>

#include "common/base64url.h"

namespace {
constexpr size_t kChunk = 131072;

int RealInit(z_stream& stream, int level) { return deflateInit(&stream, level); }
int RealDeflate(z_stream& stream, int flush) { return deflate(&stream, flush); }

[[noreturn]] void Refused(const char* call, int code, const z_stream& stream) {
  const char* reason = stream.msg != nullptr ? stream.msg : zError(code);
  throw std::runtime_error(std::string("zlib could not compress the result document: ") + call +
                           " gave " + std::to_string(code) + " (" + reason + ")");
}

// Releases the stream on every way out, a refusal included.
struct DeflateStream {
  z_stream stream{};
  bool started = false;
  ~DeflateStream() {
    if (started) deflateEnd(&stream);
  }
};
}  // namespace

const ZlibCalls kZlibCalls = {RealInit, RealDeflate};

std::string CompressZlib(const unsigned char* bytes, size_t length, const ZlibCalls& zlib) {
  if (length > std::numeric_limits<uInt>::max()) {
    throw std::runtime_error("the result document is too large to compress (" +
                             std::to_string(length) + " bytes)");
  }
  std::string result;
  std::vector<unsigned char> buffer(kChunk);
  DeflateStream holder;
  z_stream& stream = holder.stream;
  stream.next_in = const_cast<unsigned char*>(bytes);
  stream.avail_in = static_cast<uInt>(length);
  stream.next_out = buffer.data();
  stream.avail_out = kChunk;
  const int initCode = zlib.init(stream, 9);
  if (initCode != Z_OK) Refused("deflateInit", initCode, stream);
  holder.started = true;

  auto handBack = [&] {
    result.append(reinterpret_cast<const char*>(buffer.data()), kChunk);
    stream.next_out = buffer.data();
    stream.avail_out = kChunk;
  };
  // Each call has input and output space, so a working stream always moves; one that does not
  // would be called for ever.
  auto step = [&](int flush) {
    const uInt in = stream.avail_in, out = stream.avail_out;
    const int code = zlib.deflate(stream, flush);
    if (code != Z_OK && code != Z_STREAM_END) Refused("deflate", code, stream);
    if (code == Z_OK && stream.avail_in == in && stream.avail_out == out) {
      Refused("deflate", Z_BUF_ERROR, stream);
    }
    return code;
  };
  while (stream.avail_in != 0) {
    step(Z_NO_FLUSH);
    if (stream.avail_out == 0) handBack();
  }
  for (;;) {
    if (stream.avail_out == 0) handBack();
    if (step(Z_FINISH) == Z_STREAM_END) break;
  }
  result.append(reinterpret_cast<const char*>(buffer.data()), kChunk - stream.avail_out);
  return result;
}

std::string EncodeResultPayload(const std::string& text, const ZlibCalls& zlib) {
  const std::string compressed =
      CompressZlib(reinterpret_cast<const unsigned char*>(text.data()), text.size(), zlib);
  return Base64UrlEncode(reinterpret_cast<const unsigned char*>(compressed.data()),
                         compressed.size());
}
