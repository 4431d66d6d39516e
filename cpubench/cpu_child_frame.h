#pragma once
// The child side of the console protocol for CVNCPUBench: request, message lines, answer, exit code.
#include <exception>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

constexpr int kCpuExitIncomplete = 1;  // invalid request, failed driver run, early exception
constexpr int kCpuExitDone = 0;

// main of CVNCPUBench; args are the words after the program name.
int RunCpuBenchChild(const std::vector<std::string>& args, std::istream& in, std::ostream& out);
