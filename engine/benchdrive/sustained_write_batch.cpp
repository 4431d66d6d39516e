#include "engine/benchdrive/sustained_write_batch.h"

#include <cstdlib>

#include "common/run_log.h"
#include "engine/benchdrive/drive_requests.h"
#include "engine/child_time_limits.h"

namespace {
constexpr double kBatchLimitMbps = 2500.0;
}  // namespace

void LaunchSustainedWriteBatch(const PendingSustainedWrites& pending,
                               LaunchedSustainedWrites& launched, const JobLauncher& launch) {
  double sum = 0.0;
  for (const auto& drive : pending) {
    const std::string& key = drive.first;
    if (launched.count(key) != 0) continue;
    // The core run's JSON text: a number gives its MB/s, anything else (a quoted string) 0.
    const double mbps =
        std::atof(drive.second.get<std::string>("benchmarks.sequentialWrite", "0").c_str());
    if (sum + mbps > kBatchLimitMbps && sum > 0.0) {
      WriteLogLine(kLogB, __LINE__, "INFO: Queuing sustained write bench on " + key);
      continue;
    }
    WriteLogLine(kLogB, __LINE__, "INFO: Launching sustained write bench on " + key);
    launch(new BenchJob{kDriveBenchCommandLine, SustainedWriteRequest(key, mbps), key,
                        kSustainedWriteTimeLimitMs});
    launched.insert(key);
    sum += mbps;
  }
}
