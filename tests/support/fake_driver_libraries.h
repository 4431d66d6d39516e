#pragma once
// The fake driver libraries of tests/doubles/ placed in a test folder under the names the program
// loads, each beside the description file it answers from.
#include <string>

#include <nlohmann/json.hpp>

#include "tests/support/temp_dir.h"

// NVAPI under the name of this flavor (nvapi.dll or nvapi64.dll).
void PlaceFakeNvapi(const TempDir& dir, const nlohmann::json& answers);

// ADL under name (atiadlxx.dll unless said otherwise); build is the fake's own file in bin/.
void PlaceFakeAdl(const TempDir& dir, const nlohmann::json& answers,
                  const std::string& name = "atiadlxx.dll",
                  const std::string& build = "fake_adl.dll");
