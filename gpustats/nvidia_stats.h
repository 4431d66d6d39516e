#pragma once
// The stage NSTATS: the NVIDIA adapter behind the target display, read through NVAPI.
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "gpustats/nvapi_library.h"

// Returns 0 when complete (also when there is nothing of NVIDIA's to report), 1 when incomplete.
int CollectNvidiaStats(nlohmann::json& answer, std::string target, std::ostream& out,
                       const NvApiFunctions& api);
// The same through the driver's library, loaded for the stage and freed after it.
int CollectNvidiaStats(nlohmann::json& answer, std::string target, std::ostream& out);

// The library's text for a status.
std::string NvStatusText(const NvApiFunctions& api, NvStatus status);
