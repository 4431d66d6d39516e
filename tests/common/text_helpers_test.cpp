#include "common/text_helpers.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(RoundDecimals, RoundsHalvesUpAndHandlesNegativeDigits) {
  struct Case {
    int n;
    double x;
    double expected;
  } const cases[] = {
      {2, 3.14159, 3.14},  {-1, 1234.0, 1230.0}, {0, -0.5, 0.0},   {1, -2.25, -2.2},
      {0, 2.5, 3.0},       {2, 12.254, 12.25},   {5, 1.0, 1.0},    {2, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(RoundDecimals(c.n, c.x), c.expected) << c.n << " " << c.x;
  }
}

TEST(Trim, RemovesOnlyTheOuterWhiteSpace) {
  std::string right = " a b \r\n";
  EXPECT_EQ(TrimRight(right), " a b");
  std::string left = "\t a b ";
  EXPECT_EQ(TrimLeft(left), "a b ");
  std::string blank = " \t\r\n";
  EXPECT_EQ(TrimLeft(blank), "");
  std::string high = "\xA0x\xA0";
  EXPECT_EQ(TrimRight(TrimLeft(high)), "\xA0x\xA0");
}

TEST(ToString, WritesDefaultStreamForms) {
  EXPECT_EQ(ToString(4294967295u), "4294967295");
  EXPECT_EQ(ToString(-12), "-12");
  EXPECT_EQ(ToString(true), "1");
  EXPECT_EQ(ToString(false), "0");
  EXPECT_EQ(DoubleToString(95.3), "95.3");
  EXPECT_EQ(DoubleToString(1234.5678), "1234.57");
  EXPECT_EQ(DoubleToString(1234567.0), "1.23457e+06");
  EXPECT_EQ(DoubleToString(0.00001), "1e-05");
}

TEST(StringHelpers, ExtractAndCompare) {
  EXPECT_EQ(ExtractBetween("USBSTOR\\DISK&VEN_X&PROD_Y\\SN123X45&0"), "\\SN123X45");
  EXPECT_EQ(ExtractBetween("USBSTOR\\DISK"), "");
  EXPECT_EQ(ExtractBetween("A&B\\C"), "\\C");
  EXPECT_EQ(ExtractAfterMarker("USB\\VID_0781&PID_5581\\SN123X45", "VID_", "&"), "0781");
  EXPECT_EQ(ExtractAfterMarker("USB\\VID_0781&PID_5581\\SN123X45", "PID_", "\\"), "5581");
  EXPECT_EQ(ExtractAfterMarker("USB\\X&PID_5581", "VID_", "&"), "");
  EXPECT_EQ(ExtractAfterMarker("&VID_0781", "VID_", "&"), "0781");
  EXPECT_TRUE(EndsWith("drive.exe", ".exe"));
  EXPECT_TRUE(EndsWith("x", ""));
  EXPECT_FALSE(EndsWith("xe", ".exe"));
  std::string mixed = "AbC\xC9z";
  EXPECT_EQ(ToLowerInPlace(mixed), "abc\xC9z");
}

TEST(LastErrorText, GivesSystemTextAndCodeWithoutLineBreaks) {
  SetLastError(0);
  EXPECT_EQ(LastErrorText(), "");
  SetLastError(2);
  std::string text = LastErrorText();
  EXPECT_TRUE(EndsWith(text, " (2)")) << text;
  EXPECT_GT(text.size(), 4u);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
}

TEST(UtcTimeString, HasDateAndTimeLayout) {
  std::string text = UtcTimeString();
  ASSERT_EQ(text.size(), 19u) << text;
  EXPECT_EQ(text[4], '-');
  EXPECT_EQ(text[10], ' ');
  EXPECT_EQ(text[13], ':');
}
