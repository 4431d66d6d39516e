#pragma once
// One chosen drive as a run-log line and as the facts of its component in the result document.
#include <boost/property_tree/ptree.hpp>

#include "engine/sysinfo/system_info.h"

// The drive's facts on one "S " log line (startingOffset with six significant digits).
void LogDriveRecord(const DriveRecord& record);

// Appends the drive's "componentInfo." entries to its component: the texts only when not empty,
// the numbers and the flags always.
void WriteDriveComponentInfo(const DriveRecord& record, boost::property_tree::ptree& tree);
