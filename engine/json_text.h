#pragma once
// Compact JSON text of a child's value in the document's number form (15 significant digits).
#include <string>

#include <nlohmann/json.hpp>

std::string CompactJsonText(const nlohmann::json& value);
