// findMonitorInfo on a display configuration of the test's own, and on the one Wine reports for
// the test display.
#include "gpustats/monitor_lookup.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <sstream>
#include <string>
#include <vector>

namespace {
// The adapters differ for source and target, so a request with the wrong one is caught.
constexpr DWORD kSourceAdapter = 7;
constexpr DWORD kTargetAdapter = 9;

struct FakePath {
  std::wstring source;  // GDI name
  std::wstring name;
  std::wstring devicePath;
  UINT16 mfid = 0;
  UINT16 pcid = 0;
  LONG sourceStatus = ERROR_SUCCESS;
  LONG targetStatus = ERROR_SUCCESS;
};

// Source and target ids count from 1, so a path the query did not fill asks for id 0 and fails.
struct FakeDisplayConfig {
  std::vector<FakePath> paths;
  LONG sizesStatus = ERROR_SUCCESS;
  LONG queryStatus = ERROR_SUCCESS;
  long long sizesPaths = -1;  // paths the size query reports; -1: all of them
  long long queryPaths = -1;  // paths the query reports; -1: all of them

  const FakePath* Find(const DISPLAYCONFIG_DEVICE_INFO_HEADER& header, DWORD adapter) const {
    if (header.adapterId.LowPart != adapter || header.id == 0 || header.id > paths.size()) {
      return nullptr;
    }
    return &paths[header.id - 1];
  }

  DisplayConfigCalls Calls() const {
    DisplayConfigCalls calls;
    calls.getBufferSizes = [this](UINT32 flags, UINT32* pathCount, UINT32* modeCount) {
      if (flags != QDC_ONLY_ACTIVE_PATHS) return LONG(ERROR_INVALID_PARAMETER);
      *pathCount = static_cast<UINT32>(sizesPaths < 0 ? paths.size() : sizesPaths);
      *modeCount = 2 * *pathCount;
      return sizesStatus;
    };
    calls.queryConfig = [this](UINT32 flags, UINT32* pathCount, DISPLAYCONFIG_PATH_INFO* pathArray,
                               UINT32* modeCount, DISPLAYCONFIG_MODE_INFO* modeArray) {
      if (flags != QDC_ONLY_ACTIVE_PATHS) return LONG(ERROR_INVALID_PARAMETER);
      if (queryStatus != ERROR_SUCCESS) return queryStatus;
      const UINT32 reported = static_cast<UINT32>(queryPaths < 0 ? paths.size() : queryPaths);
      for (UINT32 i = 0; i < reported && i < *pathCount && i < paths.size(); ++i) {
        pathArray[i].sourceInfo.adapterId.LowPart = kSourceAdapter;
        pathArray[i].sourceInfo.id = i + 1;
        pathArray[i].targetInfo.adapterId.LowPart = kTargetAdapter;
        pathArray[i].targetInfo.id = i + 1;
      }
      *pathCount = reported;
      return LONG(ERROR_SUCCESS);
    };
    calls.getDeviceInfo = [this](DISPLAYCONFIG_DEVICE_INFO_HEADER* header) {
      if (header->type == DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME &&
          header->size == sizeof(DISPLAYCONFIG_SOURCE_DEVICE_NAME)) {
        const FakePath* path = Find(*header, kSourceAdapter);
        if (path == nullptr) return LONG(ERROR_INVALID_PARAMETER);
        if (path->sourceStatus != ERROR_SUCCESS) return path->sourceStatus;
        auto* request = reinterpret_cast<DISPLAYCONFIG_SOURCE_DEVICE_NAME*>(header);
        wcsncpy(request->viewGdiDeviceName, path->source.c_str(), 32);
        return LONG(ERROR_SUCCESS);
      }
      if (header->type == DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME &&
          header->size == sizeof(DISPLAYCONFIG_TARGET_DEVICE_NAME)) {
        const FakePath* path = Find(*header, kTargetAdapter);
        if (path == nullptr) return LONG(ERROR_INVALID_PARAMETER);
        if (path->targetStatus != ERROR_SUCCESS) return path->targetStatus;
        auto* request = reinterpret_cast<DISPLAYCONFIG_TARGET_DEVICE_NAME*>(header);
        request->edidManufactureId = path->mfid;
        request->edidProductCodeId = path->pcid;
        wcsncpy(request->monitorFriendlyDeviceName, path->name.c_str(), 64);
        wcsncpy(request->monitorDevicePath, path->devicePath.c_str(), 128);
        return LONG(ERROR_SUCCESS);
      }
      return LONG(ERROR_INVALID_PARAMETER);
    };
    return calls;
  }
};

const std::wstring kDellPath = L"\\\\?\\DISPLAY#DEL4321#5&1a2b3c&0&UID4353#{e6f07b5f-ee97-4a90}";
const FakePath kDell = {L"\\\\.\\DISPLAY1", L"DELL U2720Q", kDellPath, 4268, 16673};
const FakePath kSamsung = {L"\\\\.\\DISPLAY2", L"SAMSUNG", L"\\\\?\\DISPLAY#SAM0F9B#4&2b#{e6f0}",
                           19501, 3995};
const std::string kDellLine =
    "S: DEBUG: Mapped: \\\\.\\DISPLAY1 to Monitor(DELL U2720Q) PATH(\\\\?\\DISPLAY#DEL4321#5&1a2b3c"
    "&0&UID4353#{e6f07b5f-ee97-4a90}) MFID(4268) PCID(16673)\n";
const nlohmann::json kDellAnswer = {
    {"monHWName", "DELL U2720Q"}, {"monHWPathKey", "DEL4321"}, {"monHWMFID", "4268"}};

FakePath With(FakePath path, LONG sourceStatus, LONG targetStatus) {
  path.sourceStatus = sourceStatus;
  path.targetStatus = targetStatus;
  return path;
}
FakePath Monitor(const std::wstring& name, const std::wstring& devicePath, UINT16 mfid) {
  return {L"\\\\.\\DISPLAY1", name, devicePath, mfid, 7};
}
FakeDisplayConfig Config(std::vector<FakePath> paths) {
  FakeDisplayConfig config;
  config.paths = std::move(paths);
  return config;
}

TEST(MonitorLookup, FindsTheTargetsMonitor) {
  struct Case {
    const char* shows;
    FakeDisplayConfig config;
    std::string target;
    int result;
    std::string output;
    nlohmann::json answer;
  };
  FakeDisplayConfig fewerPaths = Config({kSamsung, kSamsung, kDell});
  fewerPaths.queryPaths = 2;
  FakeDisplayConfig tooManyPaths = Config({kSamsung});
  tooManyPaths.sizesPaths = 2;
  tooManyPaths.queryPaths = 5;
  const Case cases[] = {
      {"the display on the first path", Config({kDell, kSamsung}), "\\\\.\\DISPLAY1", 0, kDellLine,
       kDellAnswer},
      {"the display on the second path", Config({kSamsung, kDell}), "\\\\.\\DISPLAY1", 0,
       kDellLine, kDellAnswer},
      {"a display no path carries", Config({kDell}), "\\\\.\\DISPLAY9", 1, "", nullptr},
      {"the name in other case", Config({kDell}), "\\\\.\\display1", 1, "", nullptr},
      {"a cloned display: the first path",
       Config({kDell, Monitor(L"Clone", L"\\\\?\\DISPLAY#CLO0001#x", 1)}), "\\\\.\\DISPLAY1", 0,
       kDellLine, kDellAnswer},
      {"a clone whose target cannot be read: the next clone",
       Config({With(Monitor(L"Clone", L"", 1), ERROR_SUCCESS, ERROR_GEN_FAILURE), kDell}),
       "\\\\.\\DISPLAY1", 0,
       "S: ERROR: Target DisplayConfigGetDeviceInfo code: 31\n" + kDellLine, kDellAnswer},
      {"the only matching target cannot be read",
       Config({With(kDell, ERROR_SUCCESS, ERROR_ACCESS_DENIED)}), "\\\\.\\DISPLAY1", 1,
       "S: ERROR: Target DisplayConfigGetDeviceInfo code: 5\n", nullptr},
      {"a source that cannot be read is passed over",
       Config({With(kSamsung, ERROR_NOT_SUPPORTED, ERROR_SUCCESS), kDell}), "\\\\.\\DISPLAY1", 0,
       "S: ERROR: Source DisplayConfigGetDeviceInfo code: 50\n" + kDellLine, kDellAnswer},
      {"no manufacturer id: no MFID member",
       Config({Monitor(L"Generic", L"\\\\?\\DISPLAY#ABC1234#x", 0)}), "\\\\.\\DISPLAY1", 0,
       "S: DEBUG: Mapped: \\\\.\\DISPLAY1 to Monitor(Generic) PATH(\\\\?\\DISPLAY#ABC1234#x) "
       "MFID(0) PCID(7)\n",
       {{"monHWName", "Generic"}, {"monHWPathKey", "ABC1234"}}},
      {"a device path of 20 bytes: the key is bytes 12 to 18",
       Config({Monitor(L"", L"\\\\?\\DISPLAY#ABC1234#", 1)}), "\\\\.\\DISPLAY1", 0,
       "S: DEBUG: Mapped: \\\\.\\DISPLAY1 to Monitor() PATH(\\\\?\\DISPLAY#ABC1234#) MFID(1) "
       "PCID(7)\n",
       {{"monHWName", ""}, {"monHWPathKey", "ABC1234"}, {"monHWMFID", "1"}}},
      {"a device path of 19 bytes: no key",
       Config({Monitor(L"M", L"\\\\?\\DISPLAY#ABC1234", 65535)}), "\\\\.\\DISPLAY1", 0,
       "S: DEBUG: Mapped: \\\\.\\DISPLAY1 to Monitor(M) PATH(\\\\?\\DISPLAY#ABC1234) MFID(65535) "
       "PCID(7)\n",
       {{"monHWName", "M"}, {"monHWMFID", "65535"}}},
      {"a name outside Latin-1 keeps the low byte of each code unit; the answer is its Latin-1 text",
       Config({Monitor(L"Écran \u4E2D\u30C6", L"", 0)}), "\\\\.\\DISPLAY1", 0,
       "S: DEBUG: Mapped: \\\\.\\DISPLAY1 to Monitor(\xC9" "cran \x2D\xC6) PATH() MFID(0) PCID(7)\n",
       {{"monHWName", "\xC3\x89" "cran -\xC3\x86"}}},
      {"the query reports fewer paths than the sizes: only those are examined", fewerPaths,
       "\\\\.\\DISPLAY1", 1, "", nullptr},
      {"the query reports more paths than the array holds: only the array is examined",
       tooManyPaths, "\\\\.\\DISPLAY1", 1,
       "S: ERROR: Source DisplayConfigGetDeviceInfo code: 87\n", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    nlohmann::json answer;
    std::ostringstream out;
    EXPECT_EQ(findMonitorInfo(answer, c.target, out, c.config.Calls()), c.result);
    EXPECT_EQ(out.str(), c.output);
    EXPECT_EQ(answer, c.answer);
  }
}

TEST(MonitorLookup, FailuresBeforeThePaths) {
  struct Case {
    const char* shows;
    LONG sizesStatus;
    long long sizesPaths;
    LONG queryStatus;
    std::string output;
  };
  const Case cases[] = {
      {"no active path", ERROR_SUCCESS, 0, ERROR_SUCCESS,
       "S: ERROR: GetDisplayConfigBufferSizes code: 0 arrsize 0\n"},
      {"the size query fails", ERROR_INVALID_PARAMETER, 1, ERROR_SUCCESS,
       "S: ERROR: GetDisplayConfigBufferSizes code: 87 arrsize 1\n"},
      {"the query fails", ERROR_SUCCESS, 1, ERROR_INSUFFICIENT_BUFFER,
       "S: ERROR: QueryDisplayConfig code: 122\n"},
      {"more paths than the process can hold", ERROR_SUCCESS, 0xFFFFFFFF, ERROR_SUCCESS,
       "S: ERROR: Display configuration arrays not allocated for 4294967295 paths and 4294967294 "
       "modes\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shows);
    FakeDisplayConfig config = Config({kDell});
    config.sizesStatus = c.sizesStatus;
    config.sizesPaths = c.sizesPaths;
    config.queryStatus = c.queryStatus;
    nlohmann::json answer;
    std::ostringstream out;
    EXPECT_EQ(findMonitorInfo(answer, "\\\\.\\DISPLAY1", out, config.Calls()), 1);
    EXPECT_EQ(out.str(), c.output);
    EXPECT_TRUE(answer.is_null());
  }
}

// What Wine reports for the test display: one active path from \\.\DISPLAY1 to its default
// monitor, whose EDID has no manufacturer id.
TEST(MonitorLookup, WinesDisplayConfiguration) {
  nlohmann::json answer;
  std::ostringstream out;
  EXPECT_EQ(findMonitorInfo(answer, "\\\\.\\DISPLAY1", out), 0);
  EXPECT_EQ(out.str().rfind("S: DEBUG: Mapped: \\\\.\\DISPLAY1 to Monitor(", 0), 0u) << out.str();
  EXPECT_NE(out.str().find(") PATH(\\\\?\\DISPLAY#Default_Monitor#"), std::string::npos);
  EXPECT_EQ(answer.value("monHWName", ""), "Display1");
  EXPECT_EQ(answer.value("monHWPathKey", ""), "Default");
  EXPECT_FALSE(answer.contains("monHWMFID"));

  nlohmann::json none;
  std::ostringstream nothing;
  EXPECT_EQ(findMonitorInfo(none, "\\\\.\\DISPLAY9", nothing), 1);
  EXPECT_EQ(nothing.str(), "");
  EXPECT_TRUE(none.is_null());
}
}  // namespace
