// A run of the engine's drive phase, sustained-write stage and end of run on crafted drives, for
// the process tests: a real run under Wine finds no drive. It reads its drives and the stage's
// limits from "drives.json" in its folder, e.g.
//   {"batchTimeMs":4000,"batchLimit":5,"drives":[{"letter":"C:","disk":0,"freeGB":40}]}
// and ends through the engine's exit rule, with "CVNDriveBench.exe" beside it as the drive
// benchmark. Optional: "jsondebug":true runs in that mode; "unknownException":true makes the
// phases throw an exception of no standard type after the drive phase; "coreBoundMs":N bounds each
// drive's core run to N ms in place of its bound of minutes; "zlibRefuses":"init" or "deflate"
// makes that zlib call refuse when the result file is written.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/phases.h"
#include "engine/run_end.h"
#include "tests/support/crafted_wmi.h"

namespace {
const char kDiskQuery[] =
    "select DeviceID,Model,MediaType,Size,InterfaceType,PNPDeviceID,Signature,Index,"
    "FirmwareRevision,SerialNumber from Win32_DiskDrive";

// The WMI rows of the drives: one disk row per disk, one partition and one logical disk per drive.
int InitRefuses(z_stream&, int) { return Z_MEM_ERROR; }
int DeflateRefuses(z_stream&, int) { return Z_STREAM_ERROR; }

ZlibCalls ChosenZlib(const std::string& refusing) {
  ZlibCalls zlib = kZlibCalls;
  if (refusing == "init") zlib.init = InitRefuses;
  if (refusing == "deflate") zlib.deflate = DeflateRefuses;
  return zlib;
}

FakeRowQuery CraftedRows(const nlohmann::json& drives) {
  FakeRowQuery query;
  query.result = 1;
  std::map<int, int> partitionsPerDisk;
  for (const nlohmann::json& drive : drives) {
    const int disk = drive.at("disk").get<int>();
    const std::string diskId = "\\\\.\\PHYSICALDRIVE" + std::to_string(disk);
    if (partitionsPerDisk.count(disk) == 0) {
      query.answers[kDiskQuery].push_back({{"DeviceID", diskId},
                                           {"Model", "Crafted disk " + std::to_string(disk)},
                                           {"Size", "500107862016"},
                                           {"InterfaceType", "SCSI"},
                                           {"Index", std::to_string(disk)}});
    }
    const std::string partition = "Disk #" + std::to_string(disk) + ", Partition #" +
                                  std::to_string(partitionsPerDisk[disk]++);
    query.answers["ASSOCIATORS OF {Win32_DiskDrive.DeviceID='" + diskId +
                  "'} WHERE ResultClass=Win32_DiskPartition"]
        .push_back({{"DeviceID", partition}, {"StartingOffset", "1048576"}});
    const long long freeBytes = drive.at("freeGB").get<long long>() << 30;
    query.answers["ASSOCIATORS OF {Win32_DiskPartition.DeviceID='" + partition +
                  "'} where ResultClass=Win32_LogicalDisk"]
        .push_back({{"DeviceID", drive.at("letter").get<std::string>()},
                    {"FileSystem", "NTFS"},
                    {"FreeSpace", std::to_string(freeBytes)}});
  }
  return query;
}
DWORD coreBoundMs = INFINITE;

std::string RunCoreWithinScenarioBound(const std::string& commandLine,
                                       const std::string& requestText, DWORD timeLimitMs) {
  return RunChild(commandLine, requestText, std::min(timeLimitMs, coreBoundMs));
}
}  // namespace

int main() {
  std::ifstream file("drives.json");
  const nlohmann::json scenario = nlohmann::json::parse(
      std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
  FakeRowQuery rows = CraftedRows(scenario.at("drives"));

  const bool unknownException = scenario.value("unknownException", false);
  coreBoundMs = scenario.value("coreBoundMs", coreBoundMs);
  const RunPhases phases = [&rows, unknownException](RunState& run) {
    RunDrivePhase(
        run,
        [&rows](SystemInfo& info) {
          info.EnumerateDrives(rows.Query(), [](const std::string&) { return std::string(); });
        },
        RunCoreWithinScenarioBound);
    if (unknownException) throw 42;
  };
  const RunWaits waits = [&scenario](uint32_t mainStartTick) {
    SustainedWriteWaits limited = RunSustainedWriteWaits(mainStartTick);
    limited.batchTimeMs = scenario.at("batchTimeMs").get<uint32_t>();
    limited.batchLimit = scenario.at("batchLimit").get<int>();
    return limited;
  };
  return EndProcess(RunBenchmarks(scenario.value("jsondebug", false), phases, waits,
                                  ChosenZlib(scenario.value("zlibRefuses", ""))));
}
