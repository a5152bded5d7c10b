#include <gtest/gtest.h>

#include <QTimer>
#include <filesystem>
#include <regex>

#include "library/VYK_ErrorLog.h"
#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Registry.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Regional.h"
#include "tests/support/Sandbox.h"

using namespace VYK_ErrorLog;

namespace {
int g_lampLit = 0;
void CountLamp() { ++g_lampLit; }
}  // namespace

class ErrorLogFile : public Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    ErrorMsgBoxOn = false;
    g_lampLit = 0;
    SetErrorLamp(&CountLamp);
  }
  void TearDown() override {
    SetErrorLamp(nullptr);
    Sandbox::TearDown();
  }
};

TEST_F(ErrorLogFile, AnErrorLineHasTheDateProductVersionPlaceAndError) {
  WriteErrorLog(true, "Brennavale", "Main of Modul Tollerwick_Main", 0, 9, "Subscript out of range");
  WriteErrorLog(false, "Brennavale", "ReadKey of Modul VYK_Registry", 12, -2147024894, "Unable to open");
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 2u);
  const std::string version = std::to_string(rt::App.Major) + "." + std::to_string(rt::App.Minor) + "." +
                              std::to_string(rt::App.Revision);
  EXPECT_EQ(lines[0], "12/7/2026 2:05:09 PM  Brennavale : 100 v." + version +
                          "  Main of Modul Tollerwick_Main  0  9  Subscript out of range");
  EXPECT_EQ(lines[1], "12/7/2026 2:05:09 PM  Brennavale : 100 v." + version +
                          "  ReadKey of Modul VYK_Registry  12  -2147024894  Unable to open");
  EXPECT_EQ(g_lampLit, 2);
  EXPECT_TRUE(rt::testing::MessageBoxes().shown.empty());
}

TEST_F(ErrorLogFile, TheMessageBoxShowsOnlyWhenSwitchedOnAndAsked) {
  ErrorMsgBoxOn = true;
  WriteErrorLog(false, "Brennavale", "x of Modul y", 0, 5, "Invalid procedure call or argument");
  EXPECT_TRUE(rt::testing::MessageBoxes().shown.empty());
  WriteErrorLog(true, "Brennavale", "x of Modul y", 3, 5, "Invalid procedure call or argument");
  ASSERT_EQ(rt::testing::MessageBoxes().shown.size(), 1u);
  const auto& box = rt::testing::MessageBoxes().shown[0];
  EXPECT_EQ(box.style, 4112);
  EXPECT_EQ(box.title, "Brennavale Error Message");
  EXPECT_EQ(box.prompt.rfind("Brennavale/x of Modul y : 3\r\n\r\n5:Invalid procedure call or argument\r\n\r\n"
                             "Please report this error to ",
                             0),
            0u);
  EXPECT_EQ(Lines(ErrorLog()).size(), 2u);
}

TEST_F(ErrorLogFile, HeaderDescribesTheMachineOnceAndLeavesAnExistingLogAlone) {
  std::filesystem::create_directories(common);
  VYK_GetSystemInfos::UserID = "TESTER";
  VYK_GetSystemInfos::CompanyID = "NONE";
  CreateErrorLog();
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 7u) << ErrorLog();
  EXPECT_EQ(lines[0], "########  vyk error log file - created 12/7/2026 2:05:09 PM");
  EXPECT_EQ(lines[1], "100TESTERNONE");
  EXPECT_EQ(lines[2], " 1033 English (United States)");
  EXPECT_EQ(lines[3], "United StatesAmerican EnglishUnited States");
  EXPECT_EQ(lines[4], "/usr/lib/usr" + home);
  EXPECT_TRUE(std::regex_match(lines[5], std::regex(" \\d+  \\d+  \\d+  2 "))) << lines[5];
  EXPECT_EQ(lines[6], "########  End of Header  ##########");

  WriteErrorLog(true, "Brennavale", "a of Modul b", 0, 1, "one");
  const std::string before = ErrorLog();
  CreateErrorLog();
  EXPECT_EQ(ErrorLog(), before);
}

// The start reads the machine's names before it creates the log: a store without the organisation reports
// that read before the log has its header, and the header still comes first, the report after it.
TEST_F(ErrorLogFile, AReportMadeBeforeTheHeaderFollowsIt) {
  std::string organisation =
      "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\RegisteredOrganization";
  VYK_Registry::DeleteKey(organisation);
  VYK_GetSystemInfos::GetPCInfos();
  ASSERT_EQ(VYK_GetSystemInfos::CompanyID, "NONE");
  CreateErrorLog();
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 9u) << ErrorLog();
  EXPECT_EQ(lines[0], "########  vyk error log file - created 12/7/2026 2:05:09 PM");
  EXPECT_EQ(lines[1], "100" + VYK_GetSystemInfos::UserID + "NONE");
  EXPECT_EQ(lines[6], "########  End of Header  ##########");
  EXPECT_NE(lines[7].find("  ReadKey of Modul VYK_Registry  "), std::string::npos) << lines[7];
  EXPECT_EQ(lines[8], organisation);
  const std::string headed = ErrorLog();
  CreateErrorLog();
  EXPECT_EQ(ErrorLog(), headed);
}

// A fault logged at every cycle fills the log for as long as the program runs: past 5 MB it starts anew,
// the full one kept as error.log.old in place of the one kept before.
TEST_F(ErrorLogFile, AFullLogStartsANewOneWithItsHeaderAndKeepsTheLastOneOnly) {
  std::filesystem::create_directories(common);
  const std::string line = "12/7/2026 2:05:09 PM  Brennavale : 100 v.3.7.4  a of Modul b  0  53  File not found\r\n";
  std::string full;
  while (full.size() <= 5 * 1024 * 1024) full += line;
  WriteFile(common + "/error.log.old", "the log before that one\r\n");

  // up to the limit the log only grows
  WriteFile(common + "/error.log", full.substr(0, 5 * 1024 * 1024 - 1));
  WriteErrorLog(true, "Brennavale", "RotateBanner of Formular frmMain_Tollerwick", 0, 53, "File not found");
  EXPECT_GT(std::filesystem::file_size(common + "/error.log"), 5u * 1024 * 1024);
  EXPECT_EQ(ReadFile(common + "/error.log.old"), "the log before that one\r\n");

  WriteFile(common + "/error.log", full);
  WriteErrorLog(true, "Brennavale", "RotateBanner of Formular frmMain_Tollerwick", 0, 53, "File not found");
  WriteLogValues({"banner9.bmp"});
  EXPECT_TRUE(ReadFile(common + "/error.log.old") == full);
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 9u) << ErrorLog();
  EXPECT_EQ(lines[0].rfind("########  vyk error log file - created ", 0), 0u);
  EXPECT_EQ(lines[6], "########  End of Header  ##########");
  EXPECT_NE(lines[7].find("  RotateBanner of Formular frmMain_Tollerwick  0  53  File not found"), std::string::npos);
  EXPECT_EQ(lines[8], "banner9.bmp");
  EXPECT_EQ(g_lampLit, 2);
}

TEST_F(ErrorLogFile, UnanswerableLocaleQueriesGiveEmptyTextsAndWholeLines) {
  std::filesystem::create_directories(common);
  rt::testing::SetLocale("C");
  CreateErrorLog();
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[2], " 0 Language Neutral");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(ErrorLog().find("\r\n\r\n"), ErrorLog().find("Language Neutral") + 16);
}

TEST_F(ErrorLogFile, WithoutTheSharedFolderNoHeaderIsWrittenButTheFirstErrorStartsTheLog) {
  CreateErrorLog();
  EXPECT_FALSE(std::filesystem::exists(common + "/error.log"));
  WriteErrorLog(true, "Brennavale", "a of Modul b", 0, 1, "one");
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("a of Modul b  0  1  one"), std::string::npos);
}

// The log folder cannot be created (a file stands where it should be): the folder's failure is reported
// through the same writers, which must end rather than report their own report without end.
TEST_F(ErrorLogFile, AnUncreatableLogFolderEndsQuietly) {
  WriteFile(common, "a file where the shared folder belongs");
  WriteErrorLog(true, "Brennavale", "a of Modul b", 0, 1, "lost");
  WriteLogValues({"value"});
  EXPECT_EQ(ReadFile(common), "a file where the shared folder belongs");
  EXPECT_EQ(g_lampLit, 1);
}

TEST_F(ErrorLogFile, LogValuesPrintTextsAndNumbersInOneLine) {
  WriteLogValues({"/some/path", "", "", 42L, ""});
  EXPECT_EQ(ErrorLog(), "/some/path 42 \r\n");
  EXPECT_EQ(g_lampLit, 0);
}

// Writing a line lets no events run: a report that a timer's handler makes is written after the line, not
// taken for a failure of the log itself and dropped.
TEST_F(ErrorLogFile, AReportOfAHandlerThatIsDueWhileALineIsWrittenIsWrittenToo) {
  bool ran = false;
  QTimer::singleShot(0, [&] {
    ran = true;
    WriteErrorLog(true, "Brennavale", "Timer1_Timer of Formular frmTest", 0, 6, "Overflow");
  });
  WriteErrorLog(true, "Brennavale", "a of Modul b", 0, 5, "first");
  WriteLogValues({"value"});
  EXPECT_FALSE(ran) << "an event ran while the log was being written";
  for (int i = 0; i < 1000 && !ran; ++i) rt::DoEventsWaiting(10);
  ASSERT_TRUE(ran);
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 3u) << ErrorLog();
  EXPECT_NE(lines[0].find("a of Modul b  0  5  first"), std::string::npos);
  EXPECT_EQ(lines[1], "value");
  EXPECT_NE(lines[2].find("Timer1_Timer of Formular frmTest  0  6  Overflow"), std::string::npos);
  EXPECT_EQ(g_lampLit, 2);
}
