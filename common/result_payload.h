#pragma once
// The encoded form of the result document stored in "rawresults.dat".
#include <cstddef>
#include <string>

#include <zlib.h>

// The two zlib calls the compressor makes, so that a test can make either refuse.
struct ZlibCalls {
  int (*init)(z_stream& stream, int level);  // deflateInit
  int (*deflate)(z_stream& stream, int flush);
};
extern const ZlibCalls kZlibCalls;

// The complete zlib stream (level 9) of the input. A compressor that cannot start, a deflate call
// that refuses or makes no progress, and an input longer than zlib takes in one call raise a
// standard exception: the result is never an empty or cut stream.
std::string CompressZlib(const unsigned char* bytes, size_t length,
                         const ZlibCalls& zlib = kZlibCalls);
// Base64UrlEncode(CompressZlib(text)).
std::string EncodeResultPayload(const std::string& text, const ZlibCalls& zlib = kZlibCalls);
