#pragma once
// The answer's arrays of one-member objects ("benchmarks", "componentInfo", "stateData").
#include <string>

#include <nlohmann/json.hpp>

// Appends {key: value} to result[member]; a null result becomes an object, a missing member an array.
void AppendResultEntry(nlohmann::json& result, const std::string& member, const std::string& key,
                       const nlohmann::json& value);
