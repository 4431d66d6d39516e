#include "common/result_payload.h"

#include <zlib.h>

#include <random>

#include <gtest/gtest.h>

#include "common/base64url.h"

namespace {
std::string Encode(const std::string& bytes) {
  return Base64UrlEncode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::string Inflate(const std::string& stream, size_t size) {
  std::string out(size, '\0');
  uLongf length = size;
  int code = uncompress(reinterpret_cast<Bytef*>(&out[0]), &length,
                        reinterpret_cast<const Bytef*>(stream.data()), stream.size());
  EXPECT_EQ(code, Z_OK);
  out.resize(length);
  return out;
}

// Standard base64 after swapping the alphabet back, decoded by hand.
std::string DecodeStandard(std::string text) {
  const std::string standard =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (char& c : text) {
    if (c == '-') c = '+';
    if (c == '_') c = '/';
  }
  std::string out;
  unsigned bits = 0, count = 0;
  for (char c : text) {
    if (c == '*') break;
    bits = (bits << 6) | static_cast<unsigned>(standard.find(c));
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}
}  // namespace

TEST(Base64Url, EncodesGroupsAndPadsWithStars) {
  struct Case {
    std::string in;
    const char* out;
  } const cases[] = {
      {"abc", "YWJj"}, {"ab", "YWI*"}, {"a", "YQ**"}, {"\xFB\xFF", "-_8*"}, {"", ""},
      {"abcdef", "YWJjZGVm"},
  };
  for (const Case& c : cases) EXPECT_EQ(Encode(c.in), c.out) << c.in;
}

TEST(ResultPayload, DecodesToTheDocumentText) {
  const std::string text = "{\n    \"a\": \"b\"\n}\n";
  const std::string payload = EncodeResultPayload(text);
  EXPECT_EQ(payload.find_first_not_of(base64UrlAlphabet + "*"), std::string::npos);
  EXPECT_EQ(Inflate(DecodeStandard(payload), text.size()), text);
}

TEST(ResultPayload, StreamsLongerThanOneOutputBufferRoundTrip) {
  std::mt19937 random(7);
  std::string text(400000, '\0');
  for (char& c : text) c = static_cast<char>(random());
  const std::string stream =
      CompressZlib(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  ASSERT_GT(stream.size(), 131072u * 2);
  EXPECT_EQ(Inflate(stream, text.size()), text);
}

// The header's level bits tell the compressor's level: 0xDA marks level 9 (the default level 6
// would give 0x9C), and every inflater accepts either, so only the header shows it.
TEST(ResultPayload, StreamHeaderSaysLevelNine) {
  const std::string stream = DecodeStandard(EncodeResultPayload("{\n    \"a\": \"b\"\n}\n"));
  ASSERT_GE(stream.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(stream[0]), 0x78);
  EXPECT_EQ(static_cast<unsigned char>(stream[1]), 0xDA);
}

namespace {
int InitRefuses(z_stream&, int) { return Z_MEM_ERROR; }
int InitRefusesWithItsText(z_stream& stream, int) {
  stream.msg = const_cast<char*>("incompatible version");
  return Z_VERSION_ERROR;
}
int RealDeflate(z_stream& stream, int flush) { return deflate(&stream, flush); }
int DeflateRefuses(z_stream&, int) { return Z_STREAM_ERROR; }
int FinishRefuses(z_stream& stream, int flush) {
  return flush == Z_FINISH ? Z_DATA_ERROR : deflate(&stream, flush);
}
// Answers as if all were well and moves nothing.
int DeflateStands(z_stream&, int) { return Z_OK; }
}  // namespace

// A compressor that cannot start or a deflate call that refuses is an error, never an empty or cut
// stream; and no stream that stands still is called for ever.
TEST(ResultPayload, ACompressorThatRefusesRaisesAnError) {
  struct Case {
    const char* what;
    ZlibCalls zlib;
    const char* error;
  } const cases[] = {
      {"init refuses", {InitRefuses, RealDeflate},
       "zlib could not compress the result document: deflateInit gave -4 (insufficient memory)"},
      {"init refuses with its own text", {InitRefusesWithItsText, RealDeflate},
       "zlib could not compress the result document: deflateInit gave -6 (incompatible version)"},
      {"deflate refuses", {kZlibCalls.init, DeflateRefuses},
       "zlib could not compress the result document: deflate gave -2 (stream error)"},
      {"deflate refuses to finish", {kZlibCalls.init, FinishRefuses},
       "zlib could not compress the result document: deflate gave -3 (data error)"},
      {"deflate makes no progress", {kZlibCalls.init, DeflateStands},
       "zlib could not compress the result document: deflate gave -5 (buffer error)"},
  };
  const std::string text(300000, 'x');
  for (const Case& c : cases) {
    try {
      EncodeResultPayload(text, c.zlib);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), c.error) << c.what;
    }
  }
}
