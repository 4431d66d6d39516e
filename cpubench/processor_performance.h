#pragma once
// How fast the processors run, in percent of their nominal frequency, from the counter
// "% Processor Performance" of all processors together.
#include <functional>

// The counter exists from Windows 6.2 on.
bool HasProcessorPerformanceCounter(unsigned long major, unsigned long minor);

// Drops one sample, then pauses and adds a sample five times; returns the sum divided by five.
// A counter failure (CPdhQuery::CException) is logged and ends the sampling with the sum so far.
double AverageFiveSamples(const std::function<double()>& sample, const std::function<void()>& pause);

// The mean of five samples 10 ms apart, or 0 when the counter cannot be read.
double GetProcessorPerformancePercent();
