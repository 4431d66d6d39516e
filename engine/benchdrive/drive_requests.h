#pragma once
// What the run engine sends the drive benchmark CVNDriveBench: compact JSON, keys in byte order.
#include <string>

// The command line of both suites: the bare name, found beside the run engine.
extern const char* const kDriveBenchCommandLine;

// The core suite's request for one drive, e.g.
// {"DRIVE_RUNFAST_DEV":false,"DRIVE_TARGETDRIVE":"C:","DRIVE_TESTSUITE":"Core"}.
std::string DriveCoreRequest(const std::string& basePath);

// The sustained-write suite's request, with the core run's sequential write speed in MB/s as a
// JSON number in the document's number form (2000 stays 2000).
std::string SustainedWriteRequest(const std::string& basePath, double measuredMbps);
