#pragma once
// Batches of background sustained-write runs whose measured write speeds add up to at most
// 2500 MB/s, so that the runs do not saturate the storage system together.
#include <functional>
#include <map>
#include <set>
#include <string>

#include "engine/bench_jobs.h"
#include "engine/result_document.h"

// Drive key (basePath) to the drive's component as its core run left it.
using PendingSustainedWrites = std::map<std::string, Tree>;
// Drive keys whose sustained-write job has been launched.
using LaunchedSustainedWrites = std::set<std::string>;

// Hands a job over to the background job machinery, which owns it from then on.
using JobLauncher = std::function<void(BenchJob* job)>;

// Launches, in key order, each drive not launched yet that fits this batch: the first always, any
// other while the batch's summed "benchmarks.sequentialWrite" stays at or below 2500 MB/s. The
// others are logged as queued for a later batch.
void LaunchSustainedWriteBatch(const PendingSustainedWrites& pending,
                               LaunchedSustainedWrites& launched,
                               const JobLauncher& launch = LaunchBenchAsync);
