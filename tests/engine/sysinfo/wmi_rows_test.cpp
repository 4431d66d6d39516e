// How result objects become texts, through crafted property values and crafted rows.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/sysinfo/wmi_query.h"
#include "tests/support/crafted_wmi.h"
#include "tests/support/output_watch.h"

namespace {
TEST(ReadWmiRow, TurnsEachKindOfValueIntoText) {
  struct Case {
    const char* name;
    FakeProperty property;
    std::string value;
    bool warned;
  };
  const Case cases[] = {
      {"a string is converted to UTF-8",
       {S_OK, VT_BSTR, L"Wine \u00e9", 0},
       "Wine \xc3\xa9",
       false},
      {"an empty string is a value", {S_OK, VT_BSTR, L"", 0}, "", false},
      {"a 32-bit integer is read as unsigned", {S_OK, VT_I4, nullptr, 2299}, "2299", false},
      {"-1 reads as 4294967295", {S_OK, VT_I4, nullptr, -1}, "4294967295", false},
      {"a null property is empty", {S_OK, VT_NULL, nullptr, 0}, "", true},
      {"a boolean is not read", {S_OK, VT_BOOL, nullptr, 1}, "", true},
      {"a failed read is empty", {kWbemNotFound, VT_EMPTY, nullptr, 0}, "", true},
  };
  for (const Case& c : cases) {
    FakeObject object({{L"Field", c.property}});
    OutputWatch log;
    testing::internal::CaptureStdout();
    const WmiRow row = ReadWmiRow({"Field"}, object.Reader());
    const std::string printed = testing::internal::GetCapturedStdout();

    ASSERT_EQ(row.count("Field"), 1u) << c.name;
    EXPECT_EQ(row.at("Field"), c.value) << c.name;
    EXPECT_EQ(log.Count("WARN: failed to get string or INT for field-> Field"), c.warned ? 1 : 0)
        << c.name;
    if (FAILED(c.property.result)) {
      EXPECT_EQ(printed,
                "pclsObj->Get (Field) failed: 0x80041002\n"
                "pclsObj->Get (Field) failed: 0x80041002\n")
          << c.name;
    } else {
      EXPECT_EQ(printed, "") << c.name;
    }
  }
}

TEST(ReadWmiRow, ReadsAStringOnceAndAnythingElseTwice) {
  FakeObject object({{L"Name", {S_OK, VT_BSTR, L"x", 0}}, {L"Speed", {S_OK, VT_I4, nullptr, 1}}});
  ReadWmiRow({"Name", "Speed"}, object.Reader());
  EXPECT_EQ(object.Reads(L"Name"), 1);
  EXPECT_EQ(object.Reads(L"Speed"), 2);
}

TEST(ReadWmiRow, AFieldListedTwiceKeepsOneEntry) {
  FakeObject object({{L"Name", {S_OK, VT_BSTR, L"first", 0}}});
  const WmiRow row = ReadWmiRow({"Name", "Name"}, object.Reader());
  EXPECT_EQ(row, (WmiRow{{"Name", "first"}}));
}

TEST(ReadWmiRow, AFieldListedTwiceKeepsTheFirstReadsValue) {
  // Each read answers differently, so a later read overwriting the entry would show.
  int reads = 0;
  const PropertyReader reader = [&reads](const std::wstring&, VARIANT* value) -> HRESULT {
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = SysAllocString(++reads == 1 ? L"first" : L"second");
    return S_OK;
  };
  const WmiRow row = ReadWmiRow({"Name", "Name"}, reader);
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(row, (WmiRow{{"Name", "first"}}));
}

TEST(QueryClassProperties, AsksForTheSortedKeys) {
  FakeRowQuery query;
  query.rows = {
      {{"CSDVersion", ""}, {"Caption", "Wine"}, {"SystemDrive", "C:"}, {"Version", "10"}}};
  std::map<std::string, std::string> properties = {
      {"Caption", ""}, {"CSDVersion", ""}, {"SystemDrive", ""}, {"Version", ""}};
  EXPECT_EQ(QueryClassProperties(properties, "Win32_OperatingSystem", query.Query()), 0);
  EXPECT_EQ(query.wql, "select CSDVersion,Caption,SystemDrive,Version from Win32_OperatingSystem");
  EXPECT_EQ(query.fieldList, "CSDVersion,Caption,SystemDrive,Version");
}

TEST(QueryClassProperties, JoinsInstancesTrimmedWithCommaAndBlank) {
  struct Case {
    const char* name;
    std::string first;
    std::string second;
    std::string joined;
  };
  const Case cases[] = {
      {"two values, trimmed at both ends", "  Adapter A \r\n", "\tAdapter B ",
       "Adapter A, Adapter B"},
      {"an empty first value takes no separator", "", "B", "B"},
      {"an empty second value leaves the separator", "A", "", "A, "},
      {"two empty values", " ", "", ""},
  };
  for (const Case& c : cases) {
    FakeRowQuery query;
    query.rows = {{{"Caption", c.first}}, {{"Caption", c.second}}};
    std::map<std::string, std::string> properties = {{"Caption", ""}};
    EXPECT_EQ(QueryClassProperties(properties, "Win32_VideoController", query.Query()), 0)
        << c.name;
    EXPECT_EQ(properties.at("Caption"), c.joined) << c.name;
  }
}

TEST(QueryClassProperties, AppendsToWhatTheCallerPrepared) {
  FakeRowQuery query;
  query.rows = {{{"Model", "Wine"}}};
  std::map<std::string, std::string> properties = {{"Model", "given"}};
  QueryClassProperties(properties, "Win32_ComputerSystem", query.Query());
  EXPECT_EQ(properties.at("Model"), "given, Wine");
}

TEST(QueryClassProperties, AFailedQueryLogsAndLeavesTheMapAlone) {
  FakeRowQuery query;
  query.result = 1;
  std::map<std::string, std::string> properties = {{"Name", ""}, {"Version", "kept"}};
  OutputWatch log;
  EXPECT_EQ(QueryClassProperties(properties, "Win32_BIOS", query.Query()), 1);
  EXPECT_EQ(properties, (std::map<std::string, std::string>{{"Name", ""}, {"Version", "kept"}}));
  EXPECT_EQ(log.Count("ERROR Failed to execute query select Name,Version from Win32_BIOS"), 1);
}
}  // namespace

namespace {
TEST(QueryClassProperties, AnEmptyMapAsksForNoFieldWithoutFailingItself) {
  FakeRowQuery query;
  query.result = 1;
  std::map<std::string, std::string> properties;
  EXPECT_EQ(QueryClassProperties(properties, "Win32_BIOS", query.Query()), 1);
  EXPECT_EQ(query.wql, "select  from Win32_BIOS");
  EXPECT_EQ(query.fieldList, "");
}
}  // namespace
