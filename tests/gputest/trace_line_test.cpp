// The trace log's line layout.
#include "gputest/trace_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(TraceLine, TheFirstTimeStandsRightAlignedAndEveryLaterOneLeftAligned) {
  std::ostringstream log;
  WriteTraceLineTo(log, 1050, 1000.0, "C:\\src\\gputest\\framework\\DXUTenum.cpp", 84,
                   "DXUTFindValidDeviceSettings", "");
  WriteTraceLineTo(log, 1040, 1000.0, "DXUT.cpp", 2142, "DXUTCreateDevice", "FOUND IT");
  WriteTraceLineTo(log, 1000 + 123456, 1000.0, "a\\b", 7, "F", "m");
  const std::string blanks13(13, ' '), blanks24(24, ' '), blanks39(39, ' ');
  // 0.05 s rounds away from zero to one tenth; 0.04 s to none.
  EXPECT_EQ(log.str(),
            "   1" "DXUTenum.cpp      " " " "84   " " " "DXUTFindValidDeviceSettings" + blanks13 +
                "  " "\n"
            "0   " "DXUT.cpp          " " " "2142 " " " "DXUTCreateDevice" + blanks24 + "  "
                "FOUND IT\n"
            "1235" "b                 " " " "7    " " " "F" + blanks39 + "  " "m\n");
}

TEST(TraceLine, AFieldLongerThanItsWidthIsWrittenWhole) {
  std::ostringstream log;
  WriteTraceLineTo(log, 0, 0.0, "a_source_file_with_a_long_name.cpp", 123456, "F", "");
  EXPECT_EQ(log.str(), "   0a_source_file_with_a_long_name.cpp 123456 F" + std::string(39, ' ') +
                           "  \n");
}

}  // namespace
