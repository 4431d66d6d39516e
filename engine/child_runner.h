#pragma once
// Runs one console child: hands it its request on standard input, routes its message lines and
// returns the text of its last result line, or a runner error object in its place.
#include <windows.h>

#include <string>

// Returned when a pipe, the child's start, the request write or the closing of the parent's
// copies of the child's pipe ends failed.
extern const char* const kRunnerLaunchFailed;
// Returned when the child's output ended without a line-feed-terminated "R: " line.
extern const char* const kRunnerNoResults;

// Starts commandLine (found beside the run engine first), writes requestText to its standard input
// and reads its output until the child lets go of it. A child still running timeLimitMs after its
// start is ended, with an error line that names it and the bound, and kRunnerNoResults is
// returned. Safe to call from several threads at once: each child inherits only its own two pipe
// ends.
std::string RunChild(const std::string& commandLine, const std::string& requestText,
                     DWORD timeLimitMs);

// Reads the pipe in 4096-byte blocks until it breaks, routing every line; returns the rest of the
// last "R: " line, or kRunnerNoResults. A line longer than kMessageLineCap is dropped with one
// error line.
std::string ReadChildOutput(HANDLE readEnd);
