#pragma once
// The description each disk device's bus reports, keyed by device instance id.
#include <cstddef>
#include <map>
#include <string>

struct DiskBusDescription {
  std::string instanceId;   // the same text as the map key
  std::string description;  // UTF-8; empty when the system has none for the device
};

using DiskBusDescriptionMap = std::map<std::string, DiskBusDescription>;

// Adds (or overwrites) one entry per present disk-drive device; logs nothing.
void CollectDiskBusDescriptions(DiskBusDescriptionMap& descriptions);

// The UTF-16 text at the start of a property buffer, up to its terminating zero or the buffer's
// end, as UTF-8.
std::string BusDescriptionText(const unsigned char* buffer, size_t size);
