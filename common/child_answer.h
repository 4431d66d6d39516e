#pragma once
// A child's answer: the arrays of one-member objects it is built of ("benchmarks",
// "componentInfo", "stateData") and the "R: " line that carries it.
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

// Appends {key: value} to result[member]; a null result becomes an object, a missing member an array.
void AppendResultEntry(nlohmann::json& result, const std::string& member, const std::string& key,
                       const nlohmann::json& value);

// A copy of value whose strings and object keys have passed through Utf8OrLatin1, at every depth.
nlohmann::json WithUtf8Texts(const nlohmann::json& value);

// "R: " and the answer's compact text, as one message line. Texts from firmware or drivers may
// hold any bytes; they are written as UTF-8 (Utf8OrLatin1), so no text can cost the answer.
void PrintResultLine(const nlohmann::json& result, std::ostream& out);
