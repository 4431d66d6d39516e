#include "rambench/smbios_parser.h"

#include <cstring>

#include "common/text_helpers.h"

namespace smbios {

void parser::parse(const uint8_t* data, size_t length) {
  data_.assign(data, data + length);
  length_ = length;
  structures_.clear();
  const uint8_t* position = data_.data();
  const uint8_t* end = position + length_;
  while (position < end) {
    const uint8_t* start = position;
    // A formatted area must hold its own header and lie inside the table.
    if (static_cast<size_t>(end - start) < sizeof(SmbiosStructureHeader)) break;
    uint8_t formattedLength = start[1];
    if (formattedLength < sizeof(SmbiosStructureHeader)) break;
    if (static_cast<size_t>(end - start) < formattedLength) break;
    position = start + formattedLength;
    // The string set: two zero bytes when empty, else strings up to an empty one.
    if (end - position < 2) break;
    if (*position == 0) {
      position += 2;
    } else {
      bool terminated = false;
      while (position < end) {
        const void* zero = std::memchr(position, 0, static_cast<size_t>(end - position));
        if (zero == nullptr) break;
        bool emptyString = zero == position;
        position = static_cast<const uint8_t*>(zero) + 1;
        if (emptyString) {
          terminated = true;
          break;
        }
      }
      if (!terminated) break;
    }
    structures_.push_back({start, position});
  }
}

}  // namespace smbios

std::vector<std::string> SplitStringSet(const smbios::StructureSpan& structure) {
  std::vector<std::string> strings(1);
  const uint8_t* position = structure.start + structure.length();
  while (position < structure.end && *position != 0) {
    const void* zero = std::memchr(position, 0, static_cast<size_t>(structure.end - position));
    const uint8_t* stop = zero != nullptr ? static_cast<const uint8_t*>(zero) : structure.end;
    strings.emplace_back(reinterpret_cast<const char*>(position), stop - position);
    position = stop + 1;
  }
  return strings;
}

std::string GetStructureString(const std::vector<std::string>& strings, uint8_t number) {
  if (number == 0 || number >= strings.size()) return "na";
  std::string text = strings[number];
  TrimRight(text);
  TrimLeft(text);
  return text;
}
