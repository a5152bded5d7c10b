// What the layer hands to the desktop goes through rt::Launch, and a test run records it instead.

#include <gtest/gtest.h>

#include "platform/runtime/Error.h"
#include "platform/runtime/Launch.h"
#include "platform/runtime/Program.h"
#include "platform/win32/Multimedia.h"
#include "platform/win32/Shell.h"
#include "tests/support/Sandbox.h"

using rt::Launched;

class Launch : public Sandbox {
 protected:
  std::vector<Launched>& Launches() { return rt::testing::Launches(); }
};

TEST_F(Launch, EveryTestStartsWithARecorderInPlace) {
  // no test asked for it: the test run's own recorder takes the address
  EXPECT_GT(win32::ShellExecuteA(0, "open", "http://pages.example/a?b=1&c=%20", "0", "0", 5), 32);
  EXPECT_EQ(Launches(), (std::vector<Launched>{{Launched::Address, "http://pages.example/a?b=1&c=%20", {}}}));
}

TEST_F(Launch, ShellExecuteOpensAddressesAndDocuments) {
  const std::string file = home + "/notes.txt";
  WriteFile(file, "x");
  EXPECT_GT(win32::ShellExecuteA(0, "open", file, "0", "0", 5), 32);
  EXPECT_GT(win32::ShellExecuteA(0, "open", "mailto:someone@example.org?Subject=a%20b", "0", "0", 5), 32);
  // nothing to open: "file not found", and nothing handed on
  EXPECT_EQ(win32::ShellExecuteA(0, "open", "", "0", "0", 5), 2);
  EXPECT_EQ(win32::ShellExecuteA(0, "open", "http://bad host/", "0", "0", 5), 2);
  EXPECT_EQ(Launches(), (std::vector<Launched>{{Launched::Document, file, {}},
                                               {Launched::Address, "mailto:someone@example.org?Subject=a%20b", {}}}));
  // the desktop has no program for it
  rt::testing::RecordLaunches(false);
  EXPECT_EQ(win32::ShellExecuteA(0, "open", "http://pages.example/", "0", "0", 5), 31);
}

TEST_F(Launch, ShellStartsProgramsAndTheEditor) {
  rt::Shell("notepad.exe " + home + "/error.log", 1);
  rt::Shell("/opt/tools/sysinfo", 1);
  rt::Shell("/opt/tools/viewer  " + home + "/a file.txt", 1);
  EXPECT_EQ(Launches(), (std::vector<Launched>{{Launched::Document, home + "/error.log", {}},
                                               {Launched::Program, "/opt/tools/sysinfo", {}},
                                               {Launched::Program, "/opt/tools/viewer", {home + "/a file.txt"}}}));
  // the editor without a file, or a program the desktop cannot start: file not found
  EXPECT_EQ(ErrorOf([] { rt::Shell("notepad.exe", 1); }), 53);
  rt::testing::RecordLaunches(false);
  EXPECT_EQ(ErrorOf([] { rt::Shell("/opt/tools/sysinfo", 1); }), 53);
}

TEST_F(Launch, ADownloadGoesToTheBrowser) {
  win32::DoFileDownload("http://components.example/setup.exe");
  EXPECT_EQ(Launches(), (std::vector<Launched>{{Launched::Address, "http://components.example/setup.exe", {}}}));
}
