#pragma once
// The six graphics tests run on every benchmarked adapter, in the order they run.
#include <string>
#include <vector>

struct GpuTestRow {
  std::string testId;       // the api prefix ("dx09" or "dx10") and the executable name
  std::string displayName;  // names the test in every message
};

// Follows the executable name in a test's command line; the adapter ordinal comes after it.
extern const char* const gpuTestArgs;

// The table, built afresh for each graphics phase.
std::vector<GpuTestRow> GpuTestTable();

// "MELDRA" of "dx09MELDRA".
std::string ExecutableName(const GpuTestRow& row);
// The key of the test's score: "dx09Tarvel".
std::string BenchmarksKey(const GpuTestRow& row);
