#include "engine/partial_file.h"

#include <windows.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/text_helpers.h"
#include "tests/support/temp_dir.h"

namespace {
constexpr unsigned long kOwnId = 77;

// Something that stands under a name before the run creates its partial file.
enum class Stale { File, ReadOnlyFile, HiddenSystemFile, Folder, FolderWithFile };

struct Existing {
  std::string name;
  Stale kind;
};

DWORD AttributesOf(Stale kind) {
  switch (kind) {
    case Stale::ReadOnlyFile: return FILE_ATTRIBUTE_READONLY;
    case Stale::HiddenSystemFile:
      return FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    case Stale::Folder:
    case Stale::FolderWithFile: return FILE_ATTRIBUTE_DIRECTORY;
    default: return FILE_ATTRIBUTE_NORMAL;
  }
}

void Make(const TempDir& dir, const Existing& existing) {
  const std::string path = dir.File(existing.name);
  if (existing.kind == Stale::Folder || existing.kind == Stale::FolderWithFile) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << existing.name;
    if (existing.kind == Stale::FolderWithFile) dir.Write(existing.name + "\\kept.txt", "kept");
    return;
  }
  dir.Write(existing.name, "stale");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), AttributesOf(existing.kind))) << existing.name;
}

void ExpectAsMade(const TempDir& dir, const Existing& existing) {
  const DWORD attributes = GetFileAttributesA(dir.File(existing.name).c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << existing.name;
  const DWORD kept = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                     FILE_ATTRIBUTE_SYSTEM;
  EXPECT_EQ(attributes & kept, AttributesOf(existing.kind) & kept) << existing.name;
  if (existing.kind == Stale::FolderWithFile) {
    EXPECT_EQ(dir.Read(existing.name + "\\kept.txt"), "kept");
  } else if (existing.kind != Stale::Folder) {
    EXPECT_EQ(dir.Read(existing.name), "stale") << existing.name;
  }
}

// The folder can go with the test: its read-only files get the normal mode back.
void MakeRemovable(const TempDir& dir, const std::vector<Existing>& existing) {
  for (const Existing& e : existing) {
    SetFileAttributesA(dir.File(e.name).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

std::string Own(unsigned number) { return PartialFileName("rawresults.dat", kOwnId, number); }
}  // namespace

TEST(PartialFile, IsNamedForTheFinalFileTheProcessAndANumber) {
  EXPECT_EQ(PartialFileName("rawresults.dat", 4132, 1), "rawresults.dat.4132.1.partial");
}

// Whatever stands under a name, of this run's id or not, is skipped and left as it was; the run
// creates the first free name of its own, empty and open for writing.
TEST(PartialFile, SkipsEveryNameThatIsThereAndLeavesItAsItWas) {
  const std::string otherRun = PartialFileName("rawresults.dat", kOwnId + 1, 1);
  struct Case {
    const char* what;
    std::vector<Existing> existing;
    unsigned number;  // the one the run gets
  } const cases[] = {
      {"nothing there", {}, 1},
      {"an older version's partial file and another run's",
       {{"rawresults.dat.partial", Stale::ReadOnlyFile}, {otherRun, Stale::File}}, 1},
      {"a file of an earlier run with the same id", {{Own(1), Stale::File}}, 2},
      {"files of every mode and folders",
       {{Own(1), Stale::ReadOnlyFile},
        {Own(2), Stale::HiddenSystemFile},
        {Own(3), Stale::Folder},
        {Own(4), Stale::FolderWithFile}},
       5},
      {"a gap among the numbers", {{Own(1), Stale::File}, {Own(3), Stale::File}}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    std::set<std::string> names;
    for (const Existing& e : c.existing) {
      Make(dir, e);
      names.insert(e.name);
    }
    {
      PartialFile partial = CreatePartialFile(dir.File("rawresults.dat"), kOwnId);
      EXPECT_EQ(partial.name, dir.File(Own(c.number)));
      ASSERT_TRUE(partial.handle.valid());
      DWORD written = 0;
      EXPECT_TRUE(WriteFile(partial.handle.get(), "new", 3, &written, nullptr));
    }
    names.insert(Own(c.number));
    EXPECT_EQ(dir.Read(Own(c.number)), "new");
    for (const Existing& e : c.existing) ExpectAsMade(dir, e);
    EXPECT_EQ(dir.Names(), names);
    MakeRemovable(dir, c.existing);
  }
}

// With every number taken the run gives up, naming the last file, and creates nothing.
TEST(PartialFile, FailsNamingTheFileWhenEveryNumberIsTaken) {
  TempDir dir;
  for (unsigned number = 1; number <= kPartialFileAttempts; ++number) {
    dir.Write(Own(number), "stale");
  }
  const std::set<std::string> before = dir.Names();
  try {
    CreatePartialFile(dir.File("rawresults.dat"), kOwnId);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "cannot create " + dir.File(Own(kPartialFileAttempts)) +
                                         " nor any of the " +
                                         std::to_string(kPartialFileAttempts - 1) +
                                         " names of this run before it: " +
                                         ErrorCodeText(ERROR_FILE_EXISTS));
  }
  EXPECT_EQ(dir.Names(), before);
}

// A folder that refuses the new file refuses every number: the run fails at once, naming the file.
TEST(PartialFile, FailsAtOnceNamingTheFileWhenTheFolderRefusesIt) {
  TempDir dir;
  const std::string missing = dir.File("missing\\rawresults.dat");
  try {
    CreatePartialFile(missing, kOwnId);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "cannot create " + PartialFileName(missing, kOwnId, 1) +
                                         ": " + ErrorCodeText(ERROR_PATH_NOT_FOUND));
  }
}
