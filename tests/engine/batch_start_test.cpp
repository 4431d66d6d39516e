// When the first sustained-write batch's clock starts: the drive phase takes it after the core
// runs, just before the launch, so the graphics phase that follows counts against that batch.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <memory>
#include <string>

#include "common/text_helpers.h"
#include "engine/phases.h"
#include "tests/support/output_watch.h"

namespace {
constexpr DWORD kCoreRunMs = 400;

std::string SlowCoreRun(const std::string&, const std::string&, DWORD) {
  Sleep(kCoreRunMs);
  return R"({"benchmarks":[{"sequentialWrite":480.5}],"componentInfo":[{"model":"x"}]})";
}
}  // namespace

TEST(FirstBatchStart, IsTakenJustBeforeTheLaunchAndKeptThroughTheGraphicsPhase) {
  RunState run;
  run.mainStartTick = timeGetTime() - 5000;  // the run has gone on for five seconds
  const uint32_t beforePhase = ElapsedMs(run.mainStartTick);
  uint32_t atLaunch = 0;
  uint32_t batchStartAtLaunch = 0;
  OutputWatch watch(OutputWatch::kConsoleCaptured);
  RunDrivePhase(
      run,
      [](SystemInfo& info) {
        DriveRecord record;
        record.basePath = "C:";
        record.freeGB = 100;
        info.drives = {record};
      },
      SlowCoreRun,
      [&](BenchJob* job) {
        std::unique_ptr<BenchJob> owned(job);
        atLaunch = ElapsedMs(run.mainStartTick);
        batchStartAtLaunch = run.batchStart;
      });
  ASSERT_NE(atLaunch, 0u) << "the parked drive was not launched";
  // After the core run (it took kCoreRunMs), not before it, and not after the launch.
  EXPECT_GE(batchStartAtLaunch, beforePhase + kCoreRunMs);
  EXPECT_LE(batchStartAtLaunch, atLaunch);
  EXPECT_EQ(run.batchStart, batchStartAtLaunch);

  RunGraphicsPhase(run, [](Tree&) {
    Sleep(200);
    return 0;
  });
  EXPECT_EQ(run.batchStart, batchStartAtLaunch) << "the graphics phase restarted the batch clock";
}
