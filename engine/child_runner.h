#pragma once
// Runs one console child: hands it its request on standard input, routes its message lines and
// returns the text of its last result line, or a runner error object in its place.
#include <windows.h>

#include <string>

#include "engine/child_tree.h"

// Returned when a pipe, the child's start, the request write or the closing of the parent's
// copies of the child's pipe ends failed.
extern const char* const kRunnerLaunchFailed;
// Returned when the child's output ended without a line-feed-terminated "R: " line.
extern const char* const kRunnerNoResults;

// How long the output is still read once the child has ended, by itself or at its bound. A process
// the child started may hold the pipe's write end for ever; what the child wrote before it ended
// is in the pipe long before this has passed.
constexpr DWORD kPipeGraceMs = 3000;

// Starts commandLine (found beside the run engine first), writes requestText to its standard input
// and reads its output until the child lets go of it, or until kPipeGraceMs after the child has
// ended; a child whose output ends while it runs on is waited for. A child still running
// timeLimitMs after its start (INFINITE: never) is ended with every process it started, with an
// error line that names it and the bound; the last result line it sent before is returned all the
// same, and ChildrenEndedAtTheirBound counts it. Once the child has ended, whatever it started and
// left running is ended, with one error line that says how many. A child that gave no answer is
// named in an error line. Safe to call from several threads at once: each child inherits only its
// own two pipe ends.
std::string RunChild(const std::string& commandLine, const std::string& requestText,
                     DWORD timeLimitMs);

// How many children RunChild has ended at their bound since the process started, on any thread.
// Such a child's run counts as crashed, whether or not it had sent its answer.
unsigned ChildrenEndedAtTheirBound();

// What reading one child's output found.
struct ChildReading {
  std::string result;                 // the rest of the last "R: " line, or kRunnerNoResults
  bool endedAtBound = false;          // the child was still running at its bound and was ended
  DWORD endError = ERROR_BROKEN_PIPE; // the error that ended the reading
  bool unfinishedLine = false;        // the output ended inside a line, with no line feed after it
};

// Reads readEnd, an overlapped pipe end, in 4096-byte blocks until the pipe breaks or kPipeGraceMs
// after process has ended, routing every line; when the output ends first, waits for the process.
// At timeLimitMs after the call the child's tree is ended. A line longer than kMessageLineCap is
// dropped with one error line; what the child would log past its caps (child_log_budget.h) is
// dropped, counted and said in one error line.
ChildReading ReadChildOutput(HANDLE readEnd, HANDLE process, const ChildTree& tree,
                             DWORD timeLimitMs, const std::string& commandLine);
