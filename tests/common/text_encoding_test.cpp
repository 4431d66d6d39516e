// Outside text on its way into a JSON answer: valid UTF-8 kept, every other byte as Latin-1.
#include "common/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

namespace {

// Whether the JSON library writes the text as a string: it refuses invalid UTF-8 unless told to
// drop or replace the bad bytes, and the two only agree when there are none.
bool JsonWritesIt(const std::string& text) {
  const nlohmann::json value = text;
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::ignore) ==
         value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

TEST(Utf8OrLatin1, KeepsValidSequencesAndTakesOtherBytesAsLatin1) {
  struct Case {
    const char* shows;
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {"ASCII", "Maker 1.0", "Maker 1.0"},
      {"empty", "", ""},
      {"a two-byte character", "Caf\xC3\xA9", "Caf\xC3\xA9"},
      {"a three-byte character", "\xE2\x82\xAC 5", "\xE2\x82\xAC 5"},
      {"a four-byte character", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"the highest code point", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {"a Latin-1 e acute", "Maker\xE9", "Maker\xC3\xA9"},
      {"0xFF padding", "PN-1\xFF\xFF", "PN-1\xC3\xBF\xC3\xBF"},
      {"a lead byte cut off at the end", std::string(63, 'x') + "\xC3",
       std::string(63, 'x') + "\xC3\x83"},
      {"a three-byte sequence cut short", "\xE2\x82 x", "\xC3\xA2\xC2\x82 x"},
      {"an overlong NUL", "\xC0\x80", "\xC3\x80\xC2\x80"},
      {"an overlong three-byte form", "\xE0\x80\xAF", "\xC3\xA0\xC2\x80\xC2\xAF"},
      {"a surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},
      {"a lone continuation byte", "a\x80" "b", "a\xC2\x80" "b"},
      {"a lead byte before ASCII keeps the ASCII", "\xC3" "A", "\xC3\x83" "A"},
      {"valid after invalid", "\xE9\xC3\xA9", "\xC3\xA9\xC3\xA9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    EXPECT_EQ(Utf8OrLatin1(c.bytes), c.text);
    EXPECT_TRUE(JsonWritesIt(Utf8OrLatin1(c.bytes)));
  }
}

// Over every text of one and two bytes, and every lead byte of a longer sequence with a spread of
// following bytes: the text comes back unchanged exactly when the JSON library takes it as UTF-8,
// and what comes back is always taken.
TEST(Utf8OrLatin1, AgreesWithTheJsonLibraryOnWhatIsValid) {
  const auto Check = [](const std::string& bytes) {
    const std::string text = Utf8OrLatin1(bytes);
    if (JsonWritesIt(bytes) != (text == bytes) || !JsonWritesIt(text)) {
      ADD_FAILURE() << "bytes " << testing::PrintToString(bytes);
      return false;
    }
    return true;
  };
  for (int a = 0; a < 256; ++a) {
    if (!Check(std::string(1, static_cast<char>(a)))) return;
    for (int b = 0; b < 256; ++b) {
      if (!Check({static_cast<char>(a), static_cast<char>(b)})) return;
    }
  }
  const int tails[] = {0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0};
  for (int lead = 0xE0; lead < 0x100; ++lead) {
    for (int second = 0; second < 256; ++second) {
      for (int third : tails) {
        const std::string three = {static_cast<char>(lead), static_cast<char>(second),
                                   static_cast<char>(third)};
        if (!Check(three)) return;
        for (int fourth : tails) {
          if (!Check(three + static_cast<char>(fourth))) return;
        }
      }
    }
  }
}

TEST(Latin1AsUtf8, EveryByteIsItsOwnCharacter) {
  EXPECT_EQ(Latin1AsUtf8("Dell\xE9"), "Dell\xC3\xA9");
  EXPECT_EQ(Latin1AsUtf8("\x7F\x80\xFF"), "\x7F\xC2\x80\xC3\xBF");
  // Bytes that would be valid UTF-8 are still taken one by one.
  EXPECT_EQ(Latin1AsUtf8("\xC3\xA9"), "\xC3\x83\xC2\xA9");
}

}  // namespace
