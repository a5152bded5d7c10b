#include "library/VYK_File_Dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/Sandbox.h"

using namespace VYK_File_Dir;
namespace fs = std::filesystem;

class FileDir : public Sandbox {};

TEST_F(FileDir, FileExistsTrimsInPlaceAndCountsOnlyFiles) {
  WriteFile(home + "/download/TickerSettings.vyk", "x");
  WriteFile(home + "/download/.hidden", "x");
  fs::create_directories(home + "/download/folder");

  std::string name = "  " + home + "/download/TickerSettings.vyk  ";
  EXPECT_TRUE(FileExists(name));
  EXPECT_EQ(name, home + "/download/TickerSettings.vyk");

  std::string hidden = home + "/download/.hidden";
  EXPECT_TRUE(FileExists(hidden));
  std::string folder = home + "/download/folder";
  EXPECT_FALSE(FileExists(folder));
  std::string wildcard = home + "/download/Ticker*.vy?";
  EXPECT_TRUE(FileExists(wildcard));
  std::string noMatch = home + "/download/*.ini";
  EXPECT_FALSE(FileExists(noMatch));
  std::string empty, blanks = "   ", slash = home + "/download/";
  EXPECT_FALSE(FileExists(empty));
  EXPECT_FALSE(FileExists(blanks));
  EXPECT_EQ(blanks, "");
  EXPECT_FALSE(FileExists(slash));
  std::string missingFolder = home + "/nowhere/x.txt";
  EXPECT_FALSE(FileExists(missingFolder));
  EXPECT_EQ(ErrorLog(), "");
}

TEST_F(FileDir, FixDirStringAppendsOneSeparator) {
  EXPECT_EQ(sFixDirString("/opt/temp"), "/opt/temp/");
  EXPECT_EQ(sFixDirString("/opt/temp/"), "/opt/temp/");
  EXPECT_EQ(sFixDirString(""), "/");
}

TEST_F(FileDir, CreateDirectoryStructCreatesEveryMissingFolder) {
  fs::create_directories(home + "/a");
  CreateDirectoryStruct(home + "/a/b/c");
  EXPECT_TRUE(fs::is_directory(home + "/a/b/c"));
  CreateDirectoryStruct(home + "/a/b/c/");  // an existing folder: nothing to do
  CreateDirectoryStruct(home + "/../Common");
  EXPECT_TRUE(fs::is_directory(common));
  EXPECT_TRUE(DirExists(common + "/"));
  EXPECT_EQ(ErrorLog(), "");
}

TEST_F(FileDir, CreateDirectoryStructStopsAtTheFirstFailureAndKeepsWhatItMade) {
  fs::create_directories(common);
  WriteFile(home + "/a/b/file", "a file in the way");
  CreateDirectoryStruct(home + "/a/b/file/c/d");
  EXPECT_TRUE(fs::is_directory(home + "/a/b"));
  EXPECT_FALSE(fs::exists(home + "/a/b/file/c"));
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 2u) << ErrorLog();
  EXPECT_NE(lines[0].find("  CreateDirectoryStruct of Modul VYK_File_Dir  0  "), std::string::npos);
  EXPECT_EQ(lines[1], home + "/a/b/file/c/d/");
}
