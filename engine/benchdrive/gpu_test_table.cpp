#include "engine/benchdrive/gpu_test_table.h"

namespace {
constexpr size_t kApiPrefixLength = 4;
}

const char* const gpuTestArgs = ".exe -forcehal -width:1280 -height:720 -adapter:";

std::vector<GpuTestRow> GpuTestTable() {
  return {
      {"dx09MELDRA", "Tarvel"}, {"dx09TOSK", "Tosk"},     {"dx09LUNE", "Belmot"},
      {"dx10BRISQ", "Yskar"},   {"dx10KORAV", "Orvanth"}, {"dx10ZORTA", "Pellun"},
  };
}

std::string ExecutableName(const GpuTestRow& row) { return row.testId.substr(kApiPrefixLength); }

std::string BenchmarksKey(const GpuTestRow& row) {
  return row.testId.substr(0, kApiPrefixLength) + row.displayName;
}
