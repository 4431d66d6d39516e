#include "cpubench/cpu_workloads.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "common/base64url.h"

TEST(RandomBuffer, FreshGeneratorStartsWithKnownWords) {
  XorShift96 state;
  EXPECT_EQ(NextRandomWord(state), 1588437975u);
  EXPECT_EQ(NextRandomWord(state), 2268752316u);
  EXPECT_EQ(NextRandomWord(state), 3071397075u);
}

TEST(RandomBuffer, SecondBufferContinuesTheSequence) {
  std::unique_ptr<uint32_t[]> first(MakeRandomBuffer(4));
  std::unique_ptr<uint32_t[]> second(MakeRandomBuffer(4));
  EXPECT_NE(std::memcmp(first.get(), second.get(), 4096), 0);
  EXPECT_NE(first[0], second[0]);
}

TEST(FloatKernel, SameValueOnEveryCall) {
  const float first = FloatKernel();
  EXPECT_NEAR(first, 6.543933f, 1e-5f);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(FloatKernel(), first);
}

TEST(Base64UrlDecode, DecodesUpToPaddingOrForeignCharacter) {
  struct Case {
    const char* text;
    const char* bytes;
    const char* shows;
  } const cases[] = {
      {"TWFu", "Man", "a full group"},
      {"TWE*", "Ma", "three characters and padding"},
      {"TQ**", "M", "two characters and padding"},
      {"T", "", "a single leftover character yields nothing"},
      {"TW Fu", "M", "stops at the blank"},
      {"", "", "empty text"},
      {"-_8*", "\xFB\xFF", "the two URL-safe characters"},
      {"TWFu*TWFu", "Man", "nothing after the padding"},
  };
  for (const Case& c : cases) EXPECT_EQ(Base64UrlDecode(c.text), c.bytes) << c.shows;
}

TEST(Base64UrlDecode, InvertsTheEncoder) {
  std::unique_ptr<uint32_t[]> buffer(MakeRandomBuffer(4));
  const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.get());
  for (size_t length : {0u, 1u, 2u, 3u, 4u, 5u, 100u, 4095u, 4096u}) {
    const std::string text = Base64UrlEncode(bytes, length);
    EXPECT_EQ(Base64UrlDecode(text), std::string(reinterpret_cast<const char*>(bytes), length))
        << length << " bytes";
  }
}

TEST(Base64UrlDecode, FourKibibytesEncodeTo5464Characters) {
  std::unique_ptr<uint32_t[]> buffer(MakeRandomBuffer(4));
  const std::string text = Base64UrlEncode(reinterpret_cast<const unsigned char*>(buffer.get()), 4096);
  EXPECT_EQ(text.size(), 5464u);
  EXPECT_EQ(text.substr(5462), "**");
  EXPECT_EQ(Base64UrlDecode(text).size(), 4096u);
}
