// CVNCPUBench: answers one request from the run engine with the CPU scores and the processor
// performance measured under load.
#include "cpubench/child_frame.h"

int main(int argc, char** argv) { return RunChildMain(cpuBenchChild, argc, argv); }
