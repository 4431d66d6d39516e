// CVNRAMBench: answers one request from the run engine with the memory configuration, the
// throughput figures and the latency curve.
#include "rambench/child_frame.h"

int main(int argc, char** argv) { return RunChildMain(ramBenchChild, argc, argv); }
