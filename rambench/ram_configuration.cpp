#include "rambench/ram_configuration.h"

#include <windows.h>

#include <cstring>
#include <sstream>

#include "common/platform/memory_blocks.h"
#include "common/child_answer.h"
#include "common/child_lines.h"
#include "common/text_helpers.h"
#include "rambench/smbios_parser.h"

const std::map<uint8_t, std::string> formFactorNames = {
    {1, "Other"},  {2, "Unknown"},          {3, "SIMM"},  {4, "SIP"},   {5, "Chip"},
    {6, "DIP"},    {7, "ZIP"},              {8, "Proprietary Card"},    {9, "DIMM"},
    {10, "TSOP"},  {11, "Row of chips"},    {12, "RIMM"}, {13, "SODIMM"},
    {14, "SRIMM"}, {15, "FB-DIMM"},
};

const std::map<uint8_t, std::string> memoryTypeNames = {
    {1, "Other"},         {2, "Unknown"},       {3, "DRAM"},          {4, "EDRAM"},
    {5, "VRAM"},          {6, "SRAM"},          {7, "RAM"},           {8, "ROM"},
    {9, "FLASH"},         {10, "EEPROM"},       {11, "FEPROM"},       {12, "EPROM"},
    {13, "CDRAM"},        {14, "3DRAM"},        {15, "SDRAM"},        {16, "SGRAM"},
    {17, "RDRAM"},        {18, "DDR"},          {19, "DDR2"},         {20, "DDR2 FB-DIMM"},
    {21, "15h Reserved"}, {22, "16h Reserved"}, {23, "17h Reserved"}, {24, "DDR3"},
    {25, "FBD2"},         {26, "DDR4"},         {27, "LPDDR"},        {28, "LPDDR2"},
    {29, "LPDDR3"},       {30, "LPDDR4"},
};

namespace {
constexpr uint8_t kMemoryDeviceType = 17;
constexpr uint32_t kRsmbProvider = 0x52534D42;  // 'RSMB'

template <class T>
T ReadField(const smbios::StructureSpan& structure, size_t offset) {
  T value;
  std::memcpy(&value, structure.start + offset, sizeof(T));
  return value;
}

template <class T>
std::string JoinValues(const std::vector<T>& list, bool allSame) {
  std::ostringstream text;
  if (list.empty()) return std::string();
  text << list.front();
  if (!allSame) {
    for (size_t i = 1; i < list.size(); ++i) text << ", " << list[i];
  }
  return text.str();
}

std::string TrimBoth(std::string text) {
  TrimRight(text);
  TrimLeft(text);
  return text;
}

float MasterVersion(uint8_t major, uint8_t minor) {
  std::stringstream text;
  text << static_cast<int>(major) << "." << static_cast<int>(minor);
  float version = 0.0f;
  text >> version;
  return version;
}

// A module's size as the Size field and, for 0x7FFF, the Extended Size field give it.
struct ModuleSize {
  bool populated = false;
  bool known = false;
  uint64_t kb = 0;
};

constexpr uint16_t kSizeUnknown = 0xFFFF;
constexpr uint16_t kSizeInExtendedField = 0x7FFF;
constexpr uint16_t kSizeInKb = 0x8000;
constexpr uint32_t kExtendedSizeMb = 0x7FFFFFFF;  // bit 31 is reserved

ModuleSize ReadModuleSize(const smbios::StructureSpan& structure) {
  ModuleSize module;
  const uint16_t size = ReadField<uint16_t>(structure, offsetof(SmbiosMemoryDevice, size));
  if (size == 0) return module;
  module.populated = true;
  if (size == kSizeUnknown) return module;
  if (size == kSizeInExtendedField) {
    // A formatted area too short for the field leaves the size unknown, as does a zero in it.
    const size_t extendedEnd = offsetof(SmbiosMemoryDevice, extendedSize) + sizeof(uint32_t);
    if (structure.length() < extendedEnd) return module;
    const uint32_t extended =
        ReadField<uint32_t>(structure, offsetof(SmbiosMemoryDevice, extendedSize));
    const uint32_t mb = extended & kExtendedSizeMb;
    module.kb = uint64_t{mb} * 1024;
  } else if (size & kSizeInKb) {
    module.kb = size & ~kSizeInKb;
  } else {
    module.kb = uint64_t{size} * 1024;
  }
  module.known = module.kb != 0;
  return module;
}

// The size for the MB list: a whole number of MB as an integer, a part of one as DoubleToString
// gives it (512 KB: 0.5), an unknown size as "Unknown".
std::string ModuleSizeText(const ModuleSize& module) {
  if (!module.known) return "Unknown";
  if (module.kb % 1024 == 0) return std::to_string(module.kb / 1024);
  return DoubleToString(module.kb / 1024.0);
}

struct MemoryKit {
  std::vector<std::string> sizes;
  std::vector<std::string> formFactors;
  std::vector<std::string> types;
  std::vector<int> speeds;
  std::vector<std::string> models;
  std::vector<int> configuredClocks;
  int modulesTotal = 0;
  int modulesUsed = 0;
  uint64_t totalKb = 0;  // of the modules whose size is known
};

void AddModule(const smbios::StructureSpan& structure, float masterVersion, MemoryKit& kit,
               std::ostream& out) {
  float version = ModuleVersionFromLength(structure.length());
  if (version == 0.0f) {
    PrintBothLine(out, "WARN: Unable to process RAM module ", ToHexString(structure.length()));
    return;
  }
  if (version != masterVersion) {
    PrintLogLine(out, "WARN: different memory module specific smbios version: ", version);
  }
  kit.modulesTotal += 1;
  const ModuleSize size = ReadModuleSize(structure);
  if (!size.populated) return;
  kit.modulesUsed += 1;
  kit.totalKb += size.kb;
  kit.sizes.push_back(ModuleSizeText(size));
  kit.formFactors.push_back(LookupCodeName(
      ReadField<uint8_t>(structure, offsetof(SmbiosMemoryDevice, formFactor)), formFactorNames));
  kit.types.push_back(LookupCodeName(
      ReadField<uint8_t>(structure, offsetof(SmbiosMemoryDevice, memoryType)), memoryTypeNames));
  if (version >= 2.3f) {
    kit.speeds.push_back(ReadField<uint16_t>(structure, offsetof(SmbiosMemoryDevice, speed)));
    std::vector<std::string> strings = SplitStringSet(structure);
    std::string maker = GetStructureString(
        strings, ReadField<uint8_t>(structure, offsetof(SmbiosMemoryDevice, manufacturer)));
    std::string part = GetStructureString(
        strings, ReadField<uint8_t>(structure, offsetof(SmbiosMemoryDevice, partNumber)));
    kit.models.push_back(TrimBoth(maker + " " + part));
  }
  if (version >= 2.7f) {
    kit.configuredClocks.push_back(
        ReadField<uint16_t>(structure, offsetof(SmbiosMemoryDevice, configuredClockSpeed)));
  }
}

void AppendKit(const MemoryKit& kit, nlohmann::json& result) {
  bool allSame = AllSame(kit.sizes) && AllSame(kit.formFactors) && AllSame(kit.types) &&
                 AllSame(kit.speeds) && AllSame(kit.models) && AllSame(kit.configuredClocks);
  auto add = [&result](const std::string& key, const std::string& value) {
    AppendResultEntry(result, "componentInfo", key, value);
  };
  add("familyGroup", "Memory Kit");
  if (!kit.models.empty()) add("phyModel", JoinList(kit.models, allSame));
  if (!kit.configuredClocks.empty()) add("ramConfClocks", JoinList(kit.configuredClocks, allSame));
  if (!kit.formFactors.empty()) add("ramFormFactors", JoinList(kit.formFactors, allSame));
  add("ramModulesTotal", ToString(kit.modulesTotal));
  add("ramModulesUsed", ToString(kit.modulesUsed));
  add("ramSMBTotalGB", DoubleToString(kit.totalKb / 1048576.0));
  if (!kit.sizes.empty()) add("ramSizes", JoinList(kit.sizes, allSame));
  if (!kit.speeds.empty()) add("ramSpeeds", JoinList(kit.speeds, allSame));
  add("ramSticksAllSame", allSame ? "true" : "false");
  if (!kit.types.empty()) add("ramTypes", JoinList(kit.types, allSame));
}
}  // namespace

std::string ToHexString(uint8_t value) {
  std::ostringstream text;
  text << std::uppercase << std::hex << static_cast<int>(value) << "h";
  return text.str();
}

std::string LookupCodeName(uint8_t code, const std::map<uint8_t, std::string>& names) {
  auto found = names.find(code);
  return found != names.end() ? found->second : ToHexString(code);
}

std::string JoinList(const std::vector<int>& list, bool allSame) {
  return JoinValues(list, allSame);
}

std::string JoinList(const std::vector<std::string>& list, bool allSame) {
  return JoinValues(list, allSame);
}

float ModuleVersionFromLength(uint8_t length) {
  if (length >= 0x28) return 2.8f;
  if (length >= 0x22) return 2.7f;
  if (length >= 0x1C) return 2.6f;
  if (length == 0x1B) return 2.3f;
  if (length >= 0x15) return 2.1f;
  return 0.0f;
}

void ReportRamConfiguration(const uint8_t* table, size_t size, nlohmann::json& result,
                            std::ostream& out) {
  if (size < sizeof(RawSmbiosHeader)) {
    PrintBothLine(out, "ERROR: Unable to determine RAM configuration");
    return;
  }
  RawSmbiosHeader header;
  std::memcpy(&header, table, sizeof(header));
  float masterVersion = MasterVersion(header.majorVersion, header.minorVersion);
  if (masterVersion < 2.1f) {
    PrintBothLine(out, "WARN: Unable to process RAM configuration ", masterVersion);
    return;
  }
  PrintLogLine(out, "DEBUG: master smbios version: ", masterVersion);
  // The header's length may claim more than the firmware delivered; walk only what is there.
  size_t available = size - sizeof(RawSmbiosHeader);
  size_t walked = header.length < available ? header.length : available;
  smbios::parser tableParser;
  tableParser.parse(table + sizeof(RawSmbiosHeader), walked);
  MemoryKit kit;
  for (const smbios::StructureSpan& structure : tableParser.structures()) {
    if (structure.type() == kMemoryDeviceType) AddModule(structure, masterVersion, kit, out);
  }
  AppendKit(kit, result);
}

void CheckRamConfiguration(nlohmann::json& result, std::ostream& out) {
  PrintConsoleLine(out, "INFO: Checking RAM configuration");
  UINT size = GetSystemFirmwareTable(kRsmbProvider, 0, nullptr, 0);
  if (size == 0) {
    PrintBothLine(out, "ERROR: Unable to determine RAM configuration");
    return;
  }
  LocalBuffer buffer(size);
  UINT read = buffer.bytes != nullptr ? GetSystemFirmwareTable(kRsmbProvider, 0, buffer.bytes, size)
                                      : 0;
  if (read == 0 || read > size) {
    PrintBothLine(out, "ERROR: Unable to determine RAM configuration");
    return;
  }
  ReportRamConfiguration(buffer.bytes, read, result, out);
}
