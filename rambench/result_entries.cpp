#include "result_entries.h"

void AppendResultEntry(nlohmann::json& result, const std::string& member, const std::string& key,
                       const nlohmann::json& value) {
  nlohmann::json entry = nlohmann::json::object();
  entry[key] = value;
  result[member].push_back(entry);
}
