#pragma once
// The stage ASTATS: the AMD adapter behind the target display, read through the AMD Display Library.
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

// Returns 0 when complete (also when there is nothing of AMD's to report), 1 when incomplete.
int CollectAmdStats(nlohmann::json& answer, std::string target, std::ostream& out);
