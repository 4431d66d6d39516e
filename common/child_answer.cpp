#include "common/child_answer.h"

#include "common/child_lines.h"

void AppendResultEntry(nlohmann::json& result, const std::string& member, const std::string& key,
                       const nlohmann::json& value) {
  nlohmann::json entry = nlohmann::json::object();
  entry[key] = value;
  result[member].push_back(entry);
}

void PrintResultLine(const nlohmann::json& result, std::ostream& out) {
  PrintMessageLine(out, MessageLineKind::Result, result.dump());
}
