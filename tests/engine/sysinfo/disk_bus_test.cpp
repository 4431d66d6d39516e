#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/sysinfo/disk_bus.h"

namespace {
std::vector<unsigned char> Utf16Bytes(const std::wstring& text, size_t size) {
  std::vector<unsigned char> buffer(size, 0);
  std::memcpy(buffer.data(), text.data(), std::min(size, text.size() * sizeof(wchar_t)));
  return buffer;
}

TEST(BusDescriptionText, ReadsUpToTheTerminator) {
  const auto buffer = Utf16Bytes(std::wstring(L"SanDisk Ultra\u00ae\0stale", 20), 64);
  EXPECT_EQ(BusDescriptionText(buffer.data(), buffer.size()), "SanDisk Ultra\xc2\xae");
}

TEST(BusDescriptionText, AFullBufferWithoutTerminatorStopsAtItsEnd) {
  const auto buffer = Utf16Bytes(std::wstring(4096, L'x'), 8192);
  EXPECT_EQ(BusDescriptionText(buffer.data(), buffer.size()), std::string(4096, 'x'));
}

TEST(CollectDiskBusDescriptions, KeepsEntriesMadeBefore) {
  DiskBusDescriptionMap descriptions;
  descriptions["USBSTOR\\DISK&VEN_X\\1"] = {"USBSTOR\\DISK&VEN_X\\1", "earlier"};
  CollectDiskBusDescriptions(descriptions);
  CollectDiskBusDescriptions(descriptions);
  EXPECT_EQ(descriptions.at("USBSTOR\\DISK&VEN_X\\1").description, "earlier");
  for (const auto& entry : descriptions) EXPECT_EQ(entry.first, entry.second.instanceId);
}
}  // namespace
