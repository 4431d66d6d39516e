// The copy of the graphics test's media from a build's bin/ folder into a run folder.
#include "tests/support/graphics_media.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/temp_dir.h"

namespace {

TEST(GraphicsMedia, CopiesEveryFileButProgramsAndLibrariesWithItsSubfolders) {
  TempDir bin;
  bin.Write("ZORTA.exe", "program");
  bin.Write("fake_adl.DLL", "library");
  bin.Write("ZORTA.fx", "effect");
  CreateDirectoryA(bin.File("media").c_str(), nullptr);
  CreateDirectoryA(bin.File("media\\textures").c_str(), nullptr);
  bin.Write("media\\scene.sdkmesh", "mesh");
  bin.Write("media\\textures\\floor.dds", "texture");

  TempDir run;
  EXPECT_TRUE(CopyGraphicsTestMedia(bin.path(), run.path()));
  EXPECT_EQ(run.Read("ZORTA.fx"), "effect");
  EXPECT_EQ(run.Read("media\\scene.sdkmesh"), "mesh");
  EXPECT_EQ(run.Read("media\\textures\\floor.dds"), "texture");
  EXPECT_FALSE(run.Exists("ZORTA.exe"));
  EXPECT_FALSE(run.Exists("fake_adl.DLL"));
}

}  // namespace
