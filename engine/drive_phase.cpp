// The drive phase: one core run of the drive benchmark per chosen drive, and the first batch of
// sustained-write runs in the background.
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "common/run_log.h"
#include "common/text_helpers.h"
#include "engine/benchdrive/drive_requests.h"
#include "engine/child_time_limits.h"
#include "common/console_line.h"
#include "engine/phase_guard.h"
#include "engine/phases.h"
#include "engine/sysinfo/drive_targets.h"

namespace {
// Build-time switches of the drive phase.
constexpr bool skipDriveBench = false;
constexpr bool usbDrivesOnly = false;
const std::set<char> excludedDriveLetters = {};

void EraseExcludedDrives(std::vector<DriveRecord>& drives) {
  if (excludedDriveLetters.empty()) return;
  for (auto it = drives.begin(); it != drives.end();) {
    if (!it->basePath.empty() && excludedDriveLetters.count(it->basePath[0]) != 0) {
      it = drives.erase(it);
    } else {
      ++it;
    }
  }
}

// The core run of one drive into its component; true when the reply brought benchmarks.
bool RunCoreSuite(RunState& run, const DriveRecord& record, Tree& component,
                  ChildRunner runChild) {
  bool coreHadBenchmarks = false;
  std::string reply;
  GuardPhase(run, "DriveBench", reply, [&] {
    reply = runChild(kDriveBenchCommandLine, DriveCoreRequest(record.basePath),
                     kDriveCoreTimeLimitMs);
    const nlohmann::json parsed = nlohmann::json::parse(reply);
    MergeReplyEntries(component, parsed, "componentInfo", "componentInfo.", MergeMode::Text);
    if (parsed.contains("benchmarks")) {
      component.add_child("benchmarks", BenchmarksTree(parsed));
      coreHadBenchmarks = true;
    }
  });
  return coreHadBenchmarks;
}
}  // namespace

void RunDrivePhase(RunState& run, const DriveEnumeration& enumerate, ChildRunner runChild,
                   const JobLauncher& launch) {
  if (skipDriveBench) return;
  SystemInfo& info = run.systemInformation;
  ConsoleLine("INFO: Gathering drive info");
  enumerate(info);
  info.SelectDriveTargets();
  EraseExcludedDrives(info.drives);

  WriteLogLine(kLogS, __LINE__, "INFO: Launching drive test suite");
  for (const DriveRecord& record : info.drives) {
    if (usbDrivesOnly && record.phyInterfaceType != "USB") continue;
    Tree component;
    WriteDriveComponentInfo(record, component);
    if (RunCoreSuite(run, record, component, runChild)) {
      // A second target of the same letter replaces the first.
      run.pendingSustainedWrites[record.basePath] = component;
    } else {
      run.components.push_back(Tree::value_type("", component));
    }
    WriteLogLine(kLogS, __LINE__, "INFO: Completed Core drive benchmarks on " + record.basePath);
  }

  // The graphics phase that follows counts against this batch's time.
  run.batchStart = ElapsedMs(run.mainStartTick);
  LaunchSustainedWriteBatch(run.pendingSustainedWrites, run.launchedSustainedWrites, launch);
}
