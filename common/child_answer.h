#pragma once
// A child's answer: the arrays of one-member objects it is built of ("benchmarks",
// "componentInfo", "stateData") and the "R: " line that carries it.
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

// Appends {key: value} to result[member]; a null result becomes an object, a missing member an array.
void AppendResultEntry(nlohmann::json& result, const std::string& member, const std::string& key,
                       const nlohmann::json& value);

// "R: " and the answer's compact text, as one message line.
void PrintResultLine(const nlohmann::json& result, std::ostream& out);
