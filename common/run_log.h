#pragma once
// The process-wide run log: an in-memory text stream guarded by one mutex, timed from the start tick.
#include <mutex>
#include <sstream>
#include <string>

extern std::stringstream runLog;
extern std::mutex logMutex;
extern double runStartTime;

// Indexes into the category prefixes "C ", "S ", "B ".
constexpr int kLogS = 1;  // run log only
constexpr int kLogB = 2;  // run log and console

// Appends one line "<cat><line:5> <secs:4> <message>\n" to runLog; "B " lines also go to stdout.
void WriteLogLine(int category, int sourceLine, const std::string& message);

// The header and layout of one log line, without the lock or the clock; seconds are rounded to
// two decimals here.
void FormatLogLine(std::ostream& out, int category, int sourceLine, double seconds,
                   const std::string& message);
