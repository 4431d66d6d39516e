#pragma once
// A console line of the run engine's own, its WMI layer's included: written and flushed under
// logMutex, so that no background job's line cuts into it. Not a run-log line.
#include <string>

void ConsoleLine(const std::string& text);
