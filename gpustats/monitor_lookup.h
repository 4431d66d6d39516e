#pragma once
// The stage findMonitorInfo: the monitor at the target of the active display path whose source is
// the target display, read through the display configuration.
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "gpustats/display_config_calls.h"

// Adds "monHWName", "monHWPathKey" (device paths longer than 19 bytes) and "monHWMFID" (when not
// 0); returns 0 when the target's path was found and its monitor read, else 1.
int findMonitorInfo(nlohmann::json& answer, std::string target, std::ostream& out,
                    const DisplayConfigCalls& calls);
// The same through the system's display configuration.
int findMonitorInfo(nlohmann::json& answer, std::string target, std::ostream& out);
