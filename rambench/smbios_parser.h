#pragma once
// The raw SMBIOS table as GetSystemFirmwareTable('RSMB') returns it, and the walk over its
// structures. The walk never reads past the bytes it was given: a structure whose formatted area
// or string set does not end inside the table ends the walk, and is not recorded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#pragma pack(push, 1)
// RawSMBIOSData without its variable table.
struct RawSmbiosHeader {
  uint8_t used20CallingMethod;
  uint8_t majorVersion;
  uint8_t minorVersion;
  uint8_t dmiRevision;
  uint32_t length;  // bytes of structure data after this header
};

struct SmbiosStructureHeader {
  uint8_t type;
  uint8_t length;  // of the formatted area, this header included
  uint16_t handle;
};

// Memory Device (type 17), formatted area up to the configured clock speed (SMBIOS 2.7).
struct SmbiosMemoryDevice {
  SmbiosStructureHeader header;
  uint16_t physicalArrayHandle;
  uint16_t errorInformationHandle;
  uint16_t totalWidth;
  uint16_t dataWidth;
  // MB; 0 = empty slot, 0xFFFF = size unknown, 0x7FFF = see extendedSize, bit 15 set = the low
  // 15 bits count KB.
  uint16_t size;
  uint8_t formFactor;
  uint8_t deviceSet;
  uint8_t deviceLocator;
  uint8_t bankLocator;
  uint8_t memoryType;
  uint16_t typeDetail;
  uint16_t speed;  // MHz
  uint8_t manufacturer;
  uint8_t serialNumber;
  uint8_t assetTag;
  uint8_t partNumber;
  uint8_t attributes;
  uint32_t extendedSize;  // MB in bits 0-30, when size is 0x7FFF (SMBIOS 2.7)
  uint16_t configuredClockSpeed;  // MHz
};
#pragma pack(pop)

static_assert(sizeof(RawSmbiosHeader) == 8, "RawSMBIOSData header");
static_assert(offsetof(RawSmbiosHeader, majorVersion) == 1, "RawSMBIOSData header");
static_assert(offsetof(RawSmbiosHeader, minorVersion) == 2, "RawSMBIOSData header");
static_assert(offsetof(RawSmbiosHeader, length) == 4, "RawSMBIOSData header");
static_assert(sizeof(SmbiosStructureHeader) == 4, "SMBIOS structure header");
static_assert(offsetof(SmbiosMemoryDevice, size) == 0x0C, "type 17 layout");
static_assert(offsetof(SmbiosMemoryDevice, formFactor) == 0x0E, "type 17 layout");
static_assert(offsetof(SmbiosMemoryDevice, memoryType) == 0x12, "type 17 layout");
static_assert(offsetof(SmbiosMemoryDevice, speed) == 0x15, "type 17 layout");
static_assert(offsetof(SmbiosMemoryDevice, manufacturer) == 0x17, "type 17 layout");
static_assert(offsetof(SmbiosMemoryDevice, partNumber) == 0x1A, "type 17 layout");
static_assert(offsetof(SmbiosMemoryDevice, extendedSize) == 0x1C, "type 17 layout");
static_assert(offsetof(SmbiosMemoryDevice, configuredClockSpeed) == 0x20, "type 17 layout");
static_assert(sizeof(SmbiosMemoryDevice) == 0x22, "type 17 layout");

namespace smbios {

// One structure found by the walk: its bytes lie in [start, end), string set and terminator included.
struct StructureSpan {
  const uint8_t* start;
  const uint8_t* end;
  uint8_t type() const { return start[0]; }
  uint8_t length() const { return start[1]; }
};

class parser {
 public:
  parser() = default;
  virtual ~parser() = default;
  parser(const parser&) = delete;
  parser& operator=(const parser&) = delete;

  // Copies length bytes of structure data and walks them; earlier results are dropped.
  void parse(const uint8_t* data, size_t length);
  const std::vector<StructureSpan>& structures() const { return structures_; }

 private:
  std::vector<uint8_t> data_;
  size_t length_ = 0;
  std::vector<StructureSpan> structures_;
};

}  // namespace smbios

// The structure's strings: position 0 empty, position i the i-th string of its set.
std::vector<std::string> SplitStringSet(const smbios::StructureSpan& structure);
// String number's text trimmed at both ends; "na" for 0 or a number past the set.
std::string GetStructureString(const std::vector<std::string>& strings, uint8_t number);
