#include "platform/runtime/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/runtime/Error.h"
#include "platform/runtime/FileStamp.h"
#include "platform/runtime/Regional.h"
#include "tests/support/Locales.h"
#include "tests/support/Sandbox.h"

using namespace rt;

class Files : public Sandbox {};

TEST_F(Files, PrintWritesTextsExactlyAndNumbersBetweenBlanks) {
  const std::string path = home + "/out.txt";
  int f = FreeFile();
  Open(path, OpenMode::Output, f);
  Print(f, {"100", "USER", "NONE"});
  Print(f, {1033L, "English"});
  Print(f, {6L, -1L, Variant(), "x"});
  Close(f);
  EXPECT_EQ(ReadFile(path), "100USERNONE\r\n 1033 English\r\n 6 -1 x\r\n");
  f = FreeFile();
  Open(path, OpenMode::Append, f);
  Print(f, {"more"});
  Close(f);
  EXPECT_EQ(Lines(ReadFile(path)).back(), "more");
}

TEST_F(Files, ListInputReadsQuotedAndPlainItems) {
  const std::string path = home + "/list.txt";
  WriteFile(path, "\"A,B\",\"\", 12 ,plain text  ,\"x\"\r\n\"2\",\"\"\"\r\n\r\nlast");
  int f = FreeFile();
  Open(path, OpenMode::Input, f);
  EXPECT_EQ(InputItem(f), "A,B");
  EXPECT_EQ(InputItem(f), "");
  EXPECT_EQ(InputItem(f), "12");
  EXPECT_EQ(InputItem(f), "plain text");
  EXPECT_EQ(InputItem(f), "x");
  EXPECT_EQ(InputItem(f), "2");
  EXPECT_EQ(InputItem(f), "");  // a quote ends a quoted item; the rest up to the delimiter is dropped
  EXPECT_EQ(InputItem(f), "");  // an empty line
  EXPECT_EQ(InputItem(f), "last");
  EXPECT_TRUE(Eof(f));
  EXPECT_EQ(ErrorOf([&] { InputItem(f); }), errInputPastEnd);
  Close(f);
}

TEST_F(Files, WriteItemsIsReadBackByListInput) {
  const std::string path = home + "/tickers.txt";
  int f = FreeFile();
  Open(path, OpenMode::Output, f);
  WriteItems(f, {"IBM", "150,5", "", "1", "12/7/2026 4:30:05 PM"});
  WriteItems(f, {"", "", "", "", ""});
  {
    // numbers with the point, whatever the regional settings and the C library's locale
    CLibraryLocale library({"de_DE.UTF-8", "fr_FR.UTF-8"});
    rt::testing::SetLocale("de_DE");
    WriteItems(f, {1234.5, Variant(0.25f), -7L, 1e20});
    rt::testing::SetLocale("en_US");
  }
  Close(f);
  EXPECT_EQ(ReadFile(path),
            "\"IBM\",\"150,5\",\"\",\"1\",\"12/7/2026 4:30:05 PM\"\r\n\"\",\"\",\"\",\"\",\"\"\r\n"
            "1234.5,0.25,-7,1E+20\r\n");
  f = FreeFile();
  Open(path, OpenMode::Input, f);
  std::vector<std::string> items;
  while (!Eof(f)) items.push_back(InputItem(f));
  Close(f);
  ASSERT_EQ(items.size(), 14u);
  EXPECT_EQ(items[1], "150,5");
  EXPECT_EQ(items[4], "12/7/2026 4:30:05 PM");
  EXPECT_EQ(items[9], "");
  EXPECT_EQ(items[10], "1234.5");
}

TEST_F(Files, LineInputAcceptsEveryLineEnd) {
  const std::string path = home + "/lines.txt";
  WriteFile(path, "one\r\ntwo\nthree\rfour");
  int f = FreeFile();
  Open(path, OpenMode::Input, f);
  EXPECT_EQ(LineInput(f), "one");
  EXPECT_EQ(LineInput(f), "two");
  EXPECT_EQ(LineInput(f), "three");
  EXPECT_EQ(LineInput(f), "four");
  EXPECT_TRUE(Eof(f));
  EXPECT_EQ(ErrorOf([&] { LineInput(f); }), errInputPastEnd);
  Close(f);
}

TEST_F(Files, OpenReportsTheRunTimesErrors) {
  int f = FreeFile();
  EXPECT_EQ(ErrorOf([&] { Open(home + "/missing.txt", OpenMode::Input, f); }), errFileNotFound);
  EXPECT_EQ(ErrorOf([&] { Open(home + "/no/such/folder/x.txt", OpenMode::Output, f); }), errPathNotFound);
  Open(home + "/a.txt", OpenMode::Output, f);
  EXPECT_EQ(FreeFile(), f + 1);
  EXPECT_EQ(ErrorOf([&] { Open(home + "/b.txt", OpenMode::Output, f); }), errFileAlreadyOpen);
  EXPECT_EQ(ErrorOf([&] { LineInput(f); }), errBadFileMode);
  Reset();
  EXPECT_EQ(FreeFile(), 1);
  if (::geteuid() != 0) {
    ::chmod(home.c_str(), 0500);
    EXPECT_EQ(ErrorOf([&] { Open(home + "/c.txt", OpenMode::Output, 1); }), errPermissionDenied);
  }
}

TEST_F(Files, DirFindsFilesByPatternAndAttributes) {
  WriteFile(home + "/quote1.ht1", "x");
  WriteFile(home + "/.hidden", "x");
  std::filesystem::create_directories(home + "/folder");
  EXPECT_EQ(Dir(home + "/quote1.ht1"), "quote1.ht1");
  EXPECT_EQ(Dir(home + "/quote?.ht*"), "quote1.ht1");
  EXPECT_EQ(Dir(home + "/*.none"), "");
  EXPECT_EQ(Dir(home + "/.hidden"), "");
  EXPECT_EQ(Dir(home + "/.hidden", attrHidden), ".hidden");
  EXPECT_EQ(Dir(home + "/folder", attrHidden), "");
  EXPECT_EQ(Dir(home + "/folder", attrDirectory), "folder");
  EXPECT_EQ(Dir(home + "/missing/x"), "");
}

// A picture looked at once is not looked at again until its file changes: every kind of change must be
// seen by the very next look, or a changed or removed picture would be shown from the cache.
TEST_F(Files, AStampSeesEveryChangeOfItsFileAtTheNextLook) {
  const std::string path = home + "/picture.bmp";
  WriteFile(path, "0123456789");
  EXPECT_EQ(StampOf(path).size, 10);
  EXPECT_EQ(StampOf(path).size, 10);

  {  // written to in place
    std::ofstream more(path, std::ios::binary | std::ios::app);
    more << "abcde";
  }
  EXPECT_EQ(StampOf(path).size, 15);

  // replaced by another file renamed over it
  WriteFile(home + "/new.bmp", std::string(20, 'x'));
  std::filesystem::rename(home + "/new.bmp", path);
  EXPECT_EQ(StampOf(path).size, 20);

  // replaced while the old file lives on under another name
  ASSERT_EQ(::link(path.c_str(), (home + "/kept.bmp").c_str()), 0);
  EXPECT_EQ(StampOf(path).size, 20);
  WriteFile(home + "/newer.bmp", std::string(7, 'y'));
  std::filesystem::rename(home + "/newer.bmp", path);
  EXPECT_EQ(StampOf(path).size, 7);

  std::filesystem::remove(path);
  EXPECT_FALSE(StampOf(path).isFile);
  WriteFile(path, "abc");
  EXPECT_EQ(StampOf(path).size, 3);
  std::filesystem::resize_file(path, 1);
  EXPECT_EQ(StampOf(path).size, 1);
  EXPECT_FALSE(StampOf(home).isFile);
}
