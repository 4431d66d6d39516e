#pragma once
// The memory kit's facts from the SMBIOS Memory Device structures, for "componentInfo".
#include <cstddef>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

extern const std::map<uint8_t, std::string> formFactorNames;
extern const std::map<uint8_t, std::string> memoryTypeNames;

// Upper-case hexadecimal without leading zeros and an "h": 1Ah, 5h, 0h.
std::string ToHexString(uint8_t value);
std::string LookupCodeName(uint8_t code, const std::map<uint8_t, std::string>& names);

template <class T>
bool AllSame(const std::vector<T>& list) {
  for (const T& element : list) {
    if (!(element == list.front())) return false;
  }
  return true;
}

// The first element; unless allSame, then ", " and every further one.
std::string JoinList(const std::vector<int>& list, bool allSame);
std::string JoinList(const std::vector<std::string>& list, bool allSame);

// The module version of a type-17 structure from its formatted length; 0 below 21 bytes.
float ModuleVersionFromLength(uint8_t length);

// The report from a whole RawSMBIOSData buffer of size bytes: message lines to out, entries to
// result's "componentInfo".
void ReportRamConfiguration(const uint8_t* table, size_t size, nlohmann::json& result,
                            std::ostream& out);

// Reads the firmware's raw SMBIOS table and reports it.
void CheckRamConfiguration(nlohmann::json& result, std::ostream& out);
