#pragma once
// CVNRAMBench's part of the child frame: its exit codes, texts, request key and work.
#include "common/child_frame.h"

constexpr int kRamExitIncomplete = 66;  // throughput not measured, invalid request, early exception
constexpr int kRamExitDone = 0;
constexpr int kRamExitLatencyFailed = 67;

extern const ChildProgram ramBenchChild;
