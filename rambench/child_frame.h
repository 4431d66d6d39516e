#pragma once
// The child side of the console protocol for CVNRAMBench: request, message lines, answer, exit code.
#include <istream>
#include <ostream>
#include <string>
#include <vector>

constexpr int kRamExitIncomplete = 66;  // throughput not measured, invalid request, early exception
constexpr int kRamExitDone = 0;
constexpr int kRamExitLatencyFailed = 67;

// main of CVNRAMBench; args are the words after the program name.
int RunRamBenchChild(const std::vector<std::string>& args, std::istream& in, std::ostream& out);
