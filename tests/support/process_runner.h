#pragma once
// Starts a program of the suite as a real Windows process for process-level tests.
#include <string>
#include <vector>

struct ProcessResult {
  int exitCode = -1;
  std::string output;  // standard output and standard error, as the program wrote them
  bool timedOut = false;
  // The program's peak memory as the system counted it (0 where it could not be read).
  size_t peakWorkingSetBytes = 0;
  size_t peakPagefileBytes = 0;
};

// Runs exePath with the command line "<exe name> <args>" in workDir; stdinText is written to its
// standard input, which then ends. A program still running after timeoutMs is ended.
ProcessResult RunProgram(const std::string& exePath, const std::string& args,
                         const std::string& stdinText, const std::string& workDir,
                         unsigned timeoutMs = 600000);

// Folder of the running test program: bin/ of the build, where every program of the suite is.
std::string BinDir();

// Splits output into lines at "\n", keeping any "\r".
std::vector<std::string> SplitLines(const std::string& text);

// A child's output cut into its message lines.
struct ChildOutput {
  std::vector<std::string> lines;  // the terminated lines, without their line ends
  bool crlf = true;                // every one of them ended with CR LF
  std::string unterminated;        // what follows the last line end, such as the shell's pause prompt
};
ChildOutput CutChildOutput(const std::string& output);
