#include "engine/json_text.h"

#include <cstdio>

namespace {
void Append(std::string& out, const nlohmann::json& value) {
  using Type = nlohmann::json::value_t;
  switch (value.type()) {
    case Type::number_float: {
      // nlohmann writes the shortest round trip (95.0, 95.299999...); the document wants %.15g.
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.15g", value.get<double>());
      out += buffer;
      break;
    }
    case Type::array: {
      out += '[';
      bool first = true;
      for (const auto& element : value) {
        if (!first) out += ',';
        first = false;
        Append(out, element);
      }
      out += ']';
      break;
    }
    case Type::object: {
      out += '{';
      bool first = true;
      for (const auto& member : value.items()) {
        if (!first) out += ',';
        first = false;
        out += nlohmann::json(member.key()).dump();
        out += ':';
        Append(out, member.value());
      }
      out += '}';
      break;
    }
    default:
      out += value.dump();
  }
}
}  // namespace

std::string CompactJsonText(const nlohmann::json& value) {
  std::string out;
  Append(out, value);
  return out;
}
