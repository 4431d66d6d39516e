#include "common/child_answer.h"

#include "common/child_lines.h"
#include "common/text_encoding.h"

void AppendResultEntry(nlohmann::json& result, const std::string& member, const std::string& key,
                       const nlohmann::json& value) {
  nlohmann::json entry = nlohmann::json::object();
  entry[key] = value;
  result[member].push_back(entry);
}

nlohmann::json WithUtf8Texts(const nlohmann::json& value) {
  if (value.is_string()) return Utf8OrLatin1(value.get_ref<const std::string&>());
  if (value.is_array()) {
    nlohmann::json copy = nlohmann::json::array();
    for (const nlohmann::json& element : value) copy.push_back(WithUtf8Texts(element));
    return copy;
  }
  if (value.is_object()) {
    nlohmann::json copy = nlohmann::json::object();
    for (const auto& member : value.items()) {
      copy[Utf8OrLatin1(member.key())] = WithUtf8Texts(member.value());
    }
    return copy;
  }
  return value;
}

void PrintResultLine(const nlohmann::json& result, std::ostream& out) {
  PrintMessageLine(out, MessageLineKind::Result, WithUtf8Texts(result).dump());
}
