#pragma once
// Operating-system facts asked of Windows directly.
#include <string>

// "64Bit" under WOW64, "32Bit" without it, "naBit" when IsWow64Process is missing or fails.
std::string GetBitness();
// The performance counter's current value in milliseconds.
double GetMillisecondsSinceBoot();
