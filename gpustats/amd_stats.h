#pragma once
// The stage ASTATS: the AMD adapter behind the target display, read through the AMD Display Library.
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/platform/loaded_library.h"

// Returns 0 when complete (also when there is nothing of AMD's to report), 1 when incomplete.
// The library is the first of libraryNames that loads; library keeps it loaded after the stage.
int CollectAmdStats(nlohmann::json& answer, std::string target, std::ostream& out,
                    const std::vector<std::string>& libraryNames, LoadedLibrary& library);
// The same through the driver's library, which stays loaded until the process ends.
int CollectAmdStats(nlohmann::json& answer, std::string target, std::ostream& out);
