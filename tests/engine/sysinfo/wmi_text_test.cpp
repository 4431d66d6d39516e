#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/sysinfo/wmi_text.h"

namespace {
TEST(SplitAny, KeepsEveryEmptyPiece) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {"empty text gives one empty piece", "", {""}},
      {"trailing delimiter gives a trailing empty piece", "a,", {"a", ""}},
      {"two delimiters in a row give an empty piece", "a,,b", {"a", "", "b"}},
      {"leading delimiter", ",a", {"", "a"}},
      {"field list", "Capacity,Speed", {"Capacity", "Speed"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> pieces;
    SplitAny(c.text, pieces, ",");
    EXPECT_EQ(pieces, c.pieces) << c.name;
  }
}

TEST(SplitAny, SplitsAtAnyOfTheDelimitersAndAppends) {
  std::vector<std::string> pieces = {"kept"};
  SplitAny("a;b,c", pieces, ",;");
  EXPECT_EQ(pieces, (std::vector<std::string>{"kept", "a", "b", "c"}));
}

TEST(WideToUtf8, NullSourceEmptiesTheTarget) {
  std::string target = "old";
  WideToUtf8(nullptr, target);
  EXPECT_EQ(target, "");
}

TEST(WideToUtf8, ConvertsUpToTheFirstNullAndDropsTheTerminator) {
  std::string target = "old";
  const wchar_t text[] = L"Caf\u00e9\0tail";
  WideToUtf8(text, target);
  EXPECT_EQ(target, "Caf\xc3\xa9");
}

TEST(Utf8ToWide, ConvertsExactlyTheBytes) {
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(Utf8ToWide("Caf\xc3\xa9"), L"Caf\u00e9");
  EXPECT_EQ(Utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}
}  // namespace
