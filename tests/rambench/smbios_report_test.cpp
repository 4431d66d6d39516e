// The memory configuration from crafted SMBIOS tables, and the walk over truncated or broken ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/child_answer.h"
#include "rambench/ram_configuration.h"
#include "rambench/smbios_parser.h"
#include "tests/support/process_runner.h"

namespace {
using Bytes = std::vector<uint8_t>;
using Entries = std::vector<std::pair<std::string, std::string>>;

struct Module {
  uint8_t length;  // of the formatted area
  uint16_t sizeMb;
  uint8_t formFactor;
  uint8_t memoryType;
  uint16_t speed;
  std::string maker;  // string 1 (empty: no string)
  std::string part;   // string 2
  uint16_t clock;
};

void Put16(Bytes& bytes, size_t offset, uint16_t value) {
  if (offset + 2 > bytes.size()) return;
  bytes[offset] = static_cast<uint8_t>(value);
  bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void Put8(Bytes& bytes, size_t offset, uint8_t value) {
  if (offset < bytes.size()) bytes[offset] = value;
}

// Strings one after another, each zero-terminated, then the set's extra zero (two zeros if none).
void AppendStrings(Bytes& bytes, const std::vector<std::string>& strings) {
  bool any = false;
  for (const std::string& text : strings) {
    if (text.empty()) continue;
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    any = true;
  }
  bytes.push_back(0);
  if (!any) bytes.push_back(0);
}

// A type-17 structure: the fields that fit in the module's length, and its strings.
Bytes MemoryDevice(const Module& m) {
  Bytes bytes(m.length, 0);
  bytes[0] = 17;
  bytes[1] = m.length;
  Put16(bytes, 0x0C, m.sizeMb);
  Put8(bytes, 0x0E, m.formFactor);
  Put8(bytes, 0x12, m.memoryType);
  Put16(bytes, 0x15, m.speed);
  uint8_t next = 1;
  Put8(bytes, 0x17, m.maker.empty() ? 0 : next++);
  Put8(bytes, 0x1A, m.part.empty() ? 0 : next++);
  Put16(bytes, 0x20, m.clock);
  AppendStrings(bytes, {m.maker, m.part});
  return bytes;
}

Bytes OtherStructure(uint8_t type, const std::string& text) {
  Bytes bytes = {type, 4, 0, 0};
  AppendStrings(bytes, {text});
  return bytes;
}

Bytes Table(uint8_t major, uint8_t minor, const std::vector<Bytes>& structures) {
  Bytes data;
  for (const Bytes& s : structures) data.insert(data.end(), s.begin(), s.end());
  Bytes table = {0, major, minor, 0};
  uint32_t length = static_cast<uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) table.push_back(static_cast<uint8_t>(length >> (8 * i)));
  table.insert(table.end(), data.begin(), data.end());
  return table;
}

struct Report {
  Entries entries;
  std::vector<std::string> lines;
};

Report RunReport(const Bytes& table) {
  nlohmann::json result;
  std::ostringstream out;
  ReportRamConfiguration(table.data(), table.size(), result, out);
  Report report;
  if (result.contains("componentInfo")) {
    for (const auto& entry : result["componentInfo"]) {
      for (const auto& member : entry.items()) {
        report.entries.emplace_back(member.key(), member.value().get<std::string>());
      }
    }
  }
  report.lines = SplitLines(out.str());
  return report;
}

const Module kDdr4 = {0x28, 8192, 9, 26, 2400, "MakerA", "PN-1 ", 2133};
const Module kEmptySlot = {0x28, 0, 2, 2, 0, "", "", 0};

struct ReportCase {
  const char* name;
  Bytes table;
  Entries entries;
  std::vector<std::string> lines;
};

Module WithSize(Module m, uint16_t size) {
  m.sizeMb = size;
  return m;
}

Module WithLength(Module m, uint8_t length) {
  m.length = length;
  return m;
}

Module WithSpeed(Module m, uint16_t speed) {
  m.speed = speed;
  return m;
}

Module WithType(Module m, uint8_t type) {
  m.memoryType = type;
  return m;
}

const std::string kModuleVersion28 = "S: WARN: different memory module specific smbios version: 2.8";

const ReportCase reportCases[] = {
    {"two equal DDR4 modules",
     Table(3, 2, {OtherStructure(0, "BIOS"), MemoryDevice(kDdr4), MemoryDevice(kDdr4),
                  OtherStructure(127, "")}),
     {{"familyGroup", "Memory Kit"},
      {"phyModel", "MakerA PN-1"},
      {"ramConfClocks", "2133"},
      {"ramFormFactors", "DIMM"},
      {"ramModulesTotal", "2"},
      {"ramModulesUsed", "2"},
      {"ramSMBTotalGB", "16"},
      {"ramSizes", "8192"},
      {"ramSpeeds", "2400"},
      {"ramSticksAllSame", "true"},
      {"ramTypes", "DDR4"}},
     {"S: DEBUG: master smbios version: 3.2", kModuleVersion28, kModuleVersion28}},
    {"four slots, two of them populated with different sizes",
     Table(2, 8, {MemoryDevice(kDdr4), MemoryDevice(kEmptySlot), MemoryDevice(WithSize(kDdr4, 4096)),
                  MemoryDevice(kEmptySlot)}),
     {{"familyGroup", "Memory Kit"},
      {"phyModel", "MakerA PN-1, MakerA PN-1"},
      {"ramConfClocks", "2133, 2133"},
      {"ramFormFactors", "DIMM, DIMM"},
      {"ramModulesTotal", "4"},
      {"ramModulesUsed", "2"},
      {"ramSMBTotalGB", "12"},
      {"ramSizes", "8192, 4096"},
      {"ramSpeeds", "2400, 2400"},
      {"ramSticksAllSame", "false"},
      {"ramTypes", "DDR4, DDR4"}},
     {"S: DEBUG: master smbios version: 2.8"}},
    {"version by length: 27 has speed and model, 26 neither, 33 no clock",
     Table(2, 3, {MemoryDevice(WithLength(kDdr4, 27)),
                  MemoryDevice(WithSpeed(WithLength(kDdr4, 26), 2133)),
                  MemoryDevice(WithSpeed(WithLength(kDdr4, 33), 2666))}),
     {{"familyGroup", "Memory Kit"},
      {"phyModel", "MakerA PN-1, MakerA PN-1"},
      {"ramFormFactors", "DIMM, DIMM, DIMM"},
      {"ramModulesTotal", "3"},
      {"ramModulesUsed", "3"},
      {"ramSMBTotalGB", "24"},
      {"ramSizes", "8192, 8192, 8192"},
      {"ramSpeeds", "2400, 2666"},
      {"ramSticksAllSame", "false"},
      {"ramTypes", "DDR4, DDR4, DDR4"}},
     {"S: DEBUG: master smbios version: 2.3",
      "S: WARN: different memory module specific smbios version: 2.1",
      "S: WARN: different memory module specific smbios version: 2.6"}},
    {"memory type 0x1F shows as hexadecimal, module without strings as na na",
     Table(2, 8, {MemoryDevice({0x28, 2048, 0x20, 0x1F, 1600, "", "", 1600})}),
     {{"familyGroup", "Memory Kit"},
      {"phyModel", "na na"},
      {"ramConfClocks", "1600"},
      {"ramFormFactors", "20h"},
      {"ramModulesTotal", "1"},
      {"ramModulesUsed", "1"},
      {"ramSMBTotalGB", "2"},
      {"ramSizes", "2048"},
      {"ramSpeeds", "1600"},
      {"ramSticksAllSame", "true"},
      {"ramTypes", "1Fh"}},
     {"S: DEBUG: master smbios version: 2.8"}},
    {"master version 2.0 is not processed",
     Table(2, 0, {MemoryDevice(kDdr4)}),
     {},
     {"B: WARN: Unable to process RAM configuration 2"}},
    {"a table without memory devices",
     Table(2, 4, {OtherStructure(0, "BIOS"), OtherStructure(1, "Wine"), OtherStructure(127, "")}),
     {{"familyGroup", "Memory Kit"},
      {"ramModulesTotal", "0"},
      {"ramModulesUsed", "0"},
      {"ramSMBTotalGB", "0"},
      {"ramSticksAllSame", "true"}},
     {"S: DEBUG: master smbios version: 2.4"}},
    {"a module shorter than 21 bytes counts neither as module nor as populated",
     Table(2, 8, {MemoryDevice(WithLength(kDdr4, 20)), MemoryDevice(WithType(kDdr4, 24))}),
     {{"familyGroup", "Memory Kit"},
      {"phyModel", "MakerA PN-1"},
      {"ramConfClocks", "2133"},
      {"ramFormFactors", "DIMM"},
      {"ramModulesTotal", "1"},
      {"ramModulesUsed", "1"},
      {"ramSMBTotalGB", "8"},
      {"ramSizes", "8192"},
      {"ramSpeeds", "2400"},
      {"ramSticksAllSame", "true"},
      {"ramTypes", "DDR3"}},
     {"S: DEBUG: master smbios version: 2.8", "B: WARN: Unable to process RAM module 14h"}},
    {"a total that is not a whole number of GB",
     Table(2, 8, {MemoryDevice(WithSize(kDdr4, 1536))}),
     {{"familyGroup", "Memory Kit"},
      {"phyModel", "MakerA PN-1"},
      {"ramConfClocks", "2133"},
      {"ramFormFactors", "DIMM"},
      {"ramModulesTotal", "1"},
      {"ramModulesUsed", "1"},
      {"ramSMBTotalGB", "1.5"},
      {"ramSizes", "1536"},
      {"ramSpeeds", "2400"},
      {"ramSticksAllSame", "true"},
      {"ramTypes", "DDR4"}},
     {"S: DEBUG: master smbios version: 2.8"}},
};

TEST(RamConfigurationReport, CraftedTables) {
  for (const ReportCase& c : reportCases) {
    SCOPED_TRACE(c.name);
    Report report = RunReport(c.table);
    EXPECT_EQ(report.entries, c.entries);
    EXPECT_EQ(report.lines, c.lines);
  }
}

// The Size field's codes: 0x7FFF hands over to the Extended Size at 0x1C (MB, bit 31 reserved)
// when the formatted area holds it, bit 15 counts KB, 0xFFFF is a module of unknown size and 0 an
// empty slot. A size that is not known is listed as Unknown and adds nothing to the total.
Bytes WithExtendedSize(Bytes device, uint32_t mb) {
  // Only the bytes inside the formatted area: a short one keeps its strings.
  for (size_t i = 0; i < 4 && 0x1C + i < device[1]; ++i) {
    device[0x1C + i] = static_cast<uint8_t>(mb >> (8 * i));
  }
  return device;
}

Module WithMaker(Module m, const std::string& maker) {
  m.maker = maker;
  return m;
}

Module WithPart(Module m, const std::string& part) {
  m.part = part;
  return m;
}

const Bytes kExtended32Gb = WithExtendedSize(MemoryDevice(WithSize(kDdr4, 0x7FFF)), 32768);

struct SizeCase {
  const char* name;
  std::vector<Bytes> devices;
  std::string sizes;  // ramSizes; empty: no such key
  std::string totalGb;
  std::string used;
  std::string total;
};

const SizeCase sizeCases[] = {
    {"two equal 32 GB modules through the extended size", {kExtended32Gb, kExtended32Gb},
     "32768", "64", "2", "2"},
    {"two 32 GB modules of different makers list both",
     {kExtended32Gb, WithExtendedSize(MemoryDevice(WithMaker(WithSize(kDdr4, 0x7FFF), "MakerB")), 32768)},
     "32768, 32768", "64", "2", "2"},
    {"64 GB, 32 GB, an empty slot and a plain 16-bit size",
     {WithExtendedSize(MemoryDevice(WithSize(kDdr4, 0x7FFF)), 65536), kExtended32Gb,
      MemoryDevice(kEmptySlot), MemoryDevice(WithSize(kDdr4, 16384))},
     "65536, 32768, 16384", "112", "3", "4"},
    {"bit 31 of the extended size is reserved",
     {WithExtendedSize(MemoryDevice(WithSize(kDdr4, 0x7FFF)), 0x80008000u)}, "32768", "32", "1", "1"},
    {"bit 15 counts KB: 512 KB", {MemoryDevice(WithSize(kDdr4, 0x8200))}, "0.5", "0.000488281",
     "1", "1"},
    {"bit 15 counts KB: 1024 KB is a whole MB", {MemoryDevice(WithSize(kDdr4, 0x8400))}, "1",
     "0.000976562", "1", "1"},
    {"bit 15 with no KB is not a size", {MemoryDevice(WithSize(kDdr4, 0x8000))}, "Unknown", "0", "1",
     "1"},
    {"0xFFFF beside 8192: populated, size unknown",
     {MemoryDevice(WithSize(kDdr4, 0xFFFF)), MemoryDevice(kDdr4)}, "Unknown, 8192", "8", "2", "2"},
    {"0x7FFF in a formatted area without the whole extended size",
     {WithExtendedSize(MemoryDevice(WithSize(WithLength(kDdr4, 0x1F), 0x7FFF)), 32768)}, "Unknown",
     "0", "1", "1"},
    {"0x7FFF with an extended size of 0", {WithExtendedSize(MemoryDevice(WithSize(kDdr4, 0x7FFF)), 0)},
     "Unknown", "0", "1", "1"},
    {"an empty slot alone", {MemoryDevice(kEmptySlot)}, "", "0", "0", "1"},
    {"a plain 16-bit size, the largest below the codes", {MemoryDevice(WithSize(kDdr4, 0x7FFE))},
     "32766", "31.998", "1", "1"},
};

TEST(RamConfigurationReport, SizeCodesOfTheMemoryDevice) {
  for (const SizeCase& c : sizeCases) {
    SCOPED_TRACE(c.name);
    std::map<std::string, std::string> report;
    for (const auto& entry : RunReport(Table(3, 2, c.devices)).entries) report[entry.first] = entry.second;
    EXPECT_EQ(report.count("ramSizes") ? report["ramSizes"] : "", c.sizes);
    EXPECT_EQ(report["ramSMBTotalGB"], c.totalGb);
    EXPECT_EQ(report["ramModulesUsed"], c.used);
    EXPECT_EQ(report["ramModulesTotal"], c.total);
  }
}

// A maker and a part number as some firmware stores them, in Latin-1 and padded with 0xFF: the
// report keeps their bytes and the answer line still comes, with them as Latin-1 characters.
TEST(RamConfigurationReport, FirmwareStringsThatAreNotUtf8ReachTheAnswerLine) {
  const Bytes table = Table(3, 2, {MemoryDevice(WithMaker(WithPart(kDdr4, "PN-1\xFF\xFF\xFF"), "Maker\xE9"))});
  nlohmann::json result;
  std::ostringstream report;
  ReportRamConfiguration(table.data(), table.size(), result, report);
  std::ostringstream out;
  ASSERT_NO_THROW(PrintResultLine(result, out));
  const std::vector<std::string> lines = SplitLines(out.str());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("R: {\"componentInfo\":[{\"familyGroup\":\"Memory Kit\"},", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("{\"phyModel\":\"Maker\xC3\xA9 PN-1\xC3\xBF\xC3\xBF\xC3\xBF\"}"), std::string::npos)
      << lines[0];
  EXPECT_EQ(nlohmann::json::parse(lines[0].substr(3))["componentInfo"][1]["phyModel"],
            "Maker\xC3\xA9 PN-1\xC3\xBF\xC3\xBF\xC3\xBF");
}

// Tables whose end comes too early: the walk stops at the first structure that does not fit and
// keeps the complete ones before it.
struct BrokenCase {
  const char* name;
  Bytes table;      // header and data, possibly cut
  size_t modules;   // complete type-17 structures before the fault
};

Bytes Cut(Bytes table, size_t keep) {
  table.resize(keep);
  return table;
}

Bytes WithHeaderLength(Bytes table, uint32_t length) {
  for (int i = 0; i < 4; ++i) table[4 + i] = static_cast<uint8_t>(length >> (8 * i));
  return table;
}

Bytes Append(Bytes table, const Bytes& tail) {
  table.insert(table.end(), tail.begin(), tail.end());
  return WithHeaderLength(table, static_cast<uint32_t>(table.size() - 8));
}

const Bytes kOneModule = Table(2, 8, {MemoryDevice(kDdr4)});
const Bytes kTwoModules = Table(2, 8, {MemoryDevice(kDdr4), MemoryDevice(kDdr4)});
const size_t kModuleBytes = MemoryDevice(kDdr4).size();

const BrokenCase brokenCases[] = {
    {"the header claims more data than the buffer holds",
     WithHeaderLength(kOneModule, 100000), 1},
    {"the second structure's formatted area is cut",
     WithHeaderLength(Cut(kTwoModules, 8 + kModuleBytes + 10), 10000), 1},
    {"a length byte that runs past the end", Append(kOneModule, {17, 0xFF, 0, 0, 1, 2, 3}), 1},
    {"a string set without its double zero",
     Append(kOneModule, Cut(MemoryDevice(kDdr4), kModuleBytes - 1)), 1},
    {"a string without its zero",
     Append(kOneModule, Cut(MemoryDevice(kDdr4), kModuleBytes - 2)), 1},
    {"a string set cut right after the formatted area",
     Append(kOneModule, Cut(MemoryDevice(kDdr4), 0x28)), 1},
    {"a structure of another type cut in its strings",
     Append(kOneModule, {1, 4, 0, 0, 'a', 'b', 0, 'c', 'd'}), 1},
    {"a length byte smaller than the structure header", Append(kOneModule, {17, 0, 0, 0, 0, 0}), 1},
    {"a single stray byte after the last structure", Append(kOneModule, {17}), 1},
    {"the header alone", Table(2, 8, {}), 0},
};

TEST(RamConfigurationReport, BrokenTablesEndTheWalkCleanly) {
  for (const BrokenCase& c : brokenCases) {
    SCOPED_TRACE(c.name);
    // The exact size, so that a read past the end is past the buffer, not into spare capacity.
    Bytes table(c.table.begin(), c.table.end());
    table.shrink_to_fit();
    Report report = RunReport(table);
    ASSERT_FALSE(report.entries.empty());
    EXPECT_EQ(report.entries[0], (std::pair<std::string, std::string>("familyGroup", "Memory Kit")));
    std::string total;
    for (const auto& entry : report.entries) {
      if (entry.first == "ramModulesTotal") total = entry.second;
    }
    EXPECT_EQ(total, std::to_string(c.modules));
  }
}

TEST(RamConfigurationReport, BufferShorterThanItsHeaderIsAnError) {
  Bytes table = {0, 3, 2, 0, 10};
  Report report = RunReport(table);
  EXPECT_TRUE(report.entries.empty());
  EXPECT_EQ(report.lines, std::vector<std::string>{"B: ERROR: Unable to determine RAM configuration"});
}

TEST(SmbiosParser, RecordsEveryStructureWithItsStrings) {
  Bytes data = OtherStructure(1, "Wine");
  Bytes device = MemoryDevice(kDdr4);
  data.insert(data.end(), device.begin(), device.end());
  smbios::parser parser;
  parser.parse(data.data(), data.size());
  ASSERT_EQ(parser.structures().size(), 2u);
  EXPECT_EQ(parser.structures()[0].type(), 1);
  EXPECT_EQ(parser.structures()[1].type(), 17);
  std::vector<std::string> strings = SplitStringSet(parser.structures()[1]);
  EXPECT_EQ(strings, (std::vector<std::string>{"", "MakerA", "PN-1 "}));
  EXPECT_EQ(GetStructureString(strings, 2), "PN-1");
  EXPECT_EQ(GetStructureString(strings, 0), "na");
  EXPECT_EQ(GetStructureString(strings, 3), "na");
  // A second parse replaces the first one's structures.
  parser.parse(device.data(), device.size());
  EXPECT_EQ(parser.structures().size(), 1u);
}

TEST(RamConfigurationReport, HexAndModuleVersion) {
  EXPECT_EQ(ToHexString(0x1A), "1Ah");
  EXPECT_EQ(ToHexString(0x05), "5h");
  EXPECT_EQ(ToHexString(0), "0h");
  struct Case { uint8_t length; float version; };
  const Case cases[] = {{20, 0.0f}, {21, 2.1f}, {26, 2.1f}, {27, 2.3f}, {28, 2.6f},
                        {33, 2.6f}, {34, 2.7f}, {39, 2.7f}, {40, 2.8f}, {0xFF, 2.8f}};
  for (const Case& c : cases) EXPECT_EQ(ModuleVersionFromLength(c.length), c.version) << int(c.length);
}
}  // namespace
