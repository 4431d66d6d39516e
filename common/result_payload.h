#pragma once
// The encoded form of the result document stored in "rawresults.dat".
#include <cstddef>
#include <string>

// The complete zlib stream (level 9) of the input; empty when the compressor cannot start.
std::string CompressZlib(const unsigned char* bytes, size_t length);
// Base64UrlEncode(CompressZlib(text)).
std::string EncodeResultPayload(const std::string& text);
