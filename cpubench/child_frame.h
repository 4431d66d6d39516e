#pragma once
// CVNCPUBench's part of the child frame: its exit codes, texts, request key and work.
#include "common/child_frame.h"

constexpr int kCpuExitIncomplete = 1;  // invalid request, failed driver run, early exception
constexpr int kCpuExitDone = 0;

extern const ChildProgram cpuBenchChild;
