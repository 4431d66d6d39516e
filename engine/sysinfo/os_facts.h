#pragma once
// Operating-system facts asked of Windows directly.
#include <string>

// "64Bit" in a 64-bit program and under WOW64, "32Bit" in a 32-bit program without it, "naBit"
// when IsWow64Process is missing or fails.
std::string GetBitness();
// The performance counter's current value in milliseconds.
double GetMillisecondsSinceBoot();
