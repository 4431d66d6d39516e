#pragma once
// The stages' value-to-text conversion: the value written into a fresh default-formatted stream,
// so integers come out as plain decimal digits and a boolean as "1" or "0".
#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>

template <typename Value>
std::string ToString(Value value) {
  static_assert(std::is_same_v<Value, int64_t> || std::is_same_v<Value, int32_t> ||
                    std::is_same_v<Value, uint32_t> || std::is_same_v<Value, uint16_t> ||
                    std::is_same_v<Value, bool>,
                "a value type the stages report");
  std::ostringstream text;
  text << value;
  return text.str();
}
