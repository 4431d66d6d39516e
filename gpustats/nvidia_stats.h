#pragma once
// The stage NSTATS: the NVIDIA adapter behind the target display, read through NVAPI.
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

// Returns 0 when complete (also when there is nothing of NVIDIA's to report), 1 when incomplete.
int CollectNvidiaStats(nlohmann::json& answer, std::string target, std::ostream& out);
