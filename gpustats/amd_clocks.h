#pragma once
// The highest engine and memory clocks of the matched AMD adapter, by the generation of the
// library's overclocking interface the adapter offers.
#include <cstdint>
#include <ostream>

#include <nlohmann/json.hpp>

#include "gpustats/adl_library.h"

// OverdriveN with the adapter's number of performance levels (at least 1). Returns 1 when a
// query failed, else 0.
int ReportOverdriveNClocks(const AdlFunctions& adl, AdlContext context, int adapter, int32_t levels,
                           nlohmann::json& answer, std::ostream& out);

// Overdrive 6 or 5, the generations of the older interface without a context. Returns 1 when a
// query failed, else 0.
int ReportOverdrive6Clocks(const AdlFunctions& adl, int adapter, nlohmann::json& answer,
                           std::ostream& out);
int ReportOverdrive5Clocks(const AdlFunctions& adl, int adapter, nlohmann::json& answer,
                           std::ostream& out);
