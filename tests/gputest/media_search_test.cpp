// The framework's media search on real folders.
#include "gputest/framework/media_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gputest/framework/framework_errors.h"
#include "tests/support/current_directory.h"
#include "tests/support/process_runner.h"
#include "tests/support/temp_dir.h"

namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

struct MediaSearch : ::testing::Test {
  std::vector<std::wstring> debugMessages;
  UserMessages messages;
  wchar_t path[MAX_PATH] = L"";
  MediaSearch() {
    messages.debugOutput = [this](const std::wstring& text) { debugMessages.push_back(text); };
  }
  HRESULT Find(const wchar_t* name) { return FindMediaFile(path, name, messages); }
};

TEST_F(MediaSearch, FindsAFileBesideTheExecutableFromAnotherWorkingDirectory) {
  const std::string name = "zorta-media-" + std::to_string(GetCurrentProcessId()) + ".fx";
  const std::string besideExe = BinDir() + "\\" + name;
  CloseHandle(CreateFileA(besideExe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  TempDir elsewhere;
  {
    ScopedCurrentDirectory inDir(elsewhere.path());
    EXPECT_EQ(Find(Wide(name).c_str()), S_OK);
  }
  DeleteFileA(besideExe.c_str());
  EXPECT_EQ(std::wstring(path), Wide(besideExe));
  EXPECT_TRUE(debugMessages.empty());
}

TEST_F(MediaSearch, FindsAFileInTheMediaFolderOfTheWorkingDirectory) {
  TempDir dir;
  CreateDirectoryA(dir.File("media").c_str(), nullptr);
  // A name of its own: the build puts the real "ZORTA.fx" beside the executable, found first.
  dir.Write("media\\OnlyInMedia.fx", "");
  ScopedCurrentDirectory inDir(dir.path());
  EXPECT_EQ(Find(L"OnlyInMedia.fx"), S_OK);
  EXPECT_EQ(std::wstring(path), L"media\\OnlyInMedia.fx");
}

TEST_F(MediaSearch, SearchesUpwardsFromTheWorkingDirectory) {
  TempDir dir;
  const std::string deep = dir.File("a\\b\\c");
  for (const char* sub : {"a", "a\\b", "a\\b\\c"}) CreateDirectoryA(dir.File(sub).c_str(), nullptr);
  const std::string name = "zorta-upwards-" + std::to_string(GetCurrentProcessId()) + ".fx";
  dir.Write(name, "");
  ScopedCurrentDirectory inDir(deep);
  EXPECT_EQ(Find(Wide(name).c_str()), S_OK);
  wchar_t full[MAX_PATH];
  GetFullPathNameW(Wide(dir.File(name)).c_str(), MAX_PATH, full, nullptr);
  EXPECT_EQ(std::wstring(path), full);
}

TEST_F(MediaSearch, AMissingFileIsReportedToTheDebuggerAndItsNameKept) {
  TempDir dir;
  ScopedCurrentDirectory inDir(dir.path());
  EXPECT_EQ(Find(L"no-such-zorta-media.sdkmesh"), static_cast<HRESULT>(0x80040903));
  EXPECT_EQ(std::wstring(path), L"no-such-zorta-media.sdkmesh");
  EXPECT_EQ(debugMessages, (std::vector<std::wstring>{L"Failed to load resource: ",
                                                      L"no-such-zorta-media.sdkmesh", L"\n"}));
}

TEST_F(MediaSearch, AMissingNameOrBufferIsAnInvalidArgument) {
  EXPECT_EQ(Find(nullptr), E_INVALIDARG);
  EXPECT_EQ(Find(L""), E_INVALIDARG);
  EXPECT_EQ(FindMediaFile(nullptr, L"ZORTA.fx", messages), E_INVALIDARG);
  EXPECT_TRUE(debugMessages.empty());
}

}  // namespace
