#include <gtest/gtest.h>

#include <QTimer>
#include <filesystem>

#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Launch.h"
#include "platform/win32/Shell.h"
#include "tests/monitor/MonitorSandbox.h"
#include "windows/frmAbout.h"

class About : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    ASSERT_TRUE(RunMain());
    rt::testing::MessageBoxes().shown.clear();
  }
  frmAbout& Window() { return rt::Default<frmAbout>(); }
};

TEST_F(About, TheMenuShowsItModallyAndOkClosesIt) {
  bool shown = false;
  std::string title, version, caption;
  QTimer::singleShot(50, [&] {
    shown = Window().Visible();
    title = Window().lblTitle.Caption();
    version = Window().lblVersion.Caption();
    caption = Window().Caption();
    Window().lblOK_Click();
  });
  Tollerwick_Main::MainForm->mnuAbout_Click();
  EXPECT_TRUE(shown);
  EXPECT_EQ(title, "Brennavale");
  EXPECT_EQ(version, "Version 3.7.4");
  EXPECT_EQ(caption, "About Brennavale");
  EXPECT_FALSE(Window().IsLoaded());
}

// Without the program's own value, the program is looked for in the folder the store names.
TEST_F(About, SystemInformationStartsFromItsFolderOrTheUserIsTold) {
  rt::testing::Launches().clear();
  Window().lblSysInfo_Click();
  ASSERT_EQ(rt::testing::MessageBoxes().shown.size(), 1u);
  EXPECT_EQ(rt::testing::MessageBoxes().shown[0].prompt, "System Information Is Unavailable At This Time");
  EXPECT_EQ(rt::testing::MessageBoxes().shown[0].title, "Info");
  EXPECT_EQ(rt::testing::MessageBoxes().shown[0].style, 0);
  // a folder without the program changes nothing
  const std::string folder = root + "/Common Files/Microsoft Shared/MSInfo";
  std::filesystem::create_directories(folder);
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location\\MSINFO", folder);
  Window().lblSysInfo_Click();
  EXPECT_EQ(rt::testing::MessageBoxes().shown.size(), 2u);
  EXPECT_TRUE(rt::testing::Launches().empty());
  // with the program there, that program is started, blanks in its folder's name and all
  WriteFile(folder + "/MSINFO32.EXE", "");
  Window().lblSysInfo_Click();
  EXPECT_EQ(rt::testing::Launches(),
            (std::vector<rt::Launched>{{rt::Launched::Program, folder + "/MSINFO32.EXE", {}}}));
  EXPECT_EQ(rt::testing::MessageBoxes().shown.size(), 2u);
}

TEST_F(About, ThePressedLookFollowsTheLeftButtonOnly) {
  Window().Load();
  Window().lblOK.MouseDown(2);
  EXPECT_EQ(Window().lblOK.ForeColor(), 0xFFC0C0);
  Window().lblOK.MouseDown(1);
  EXPECT_EQ(Window().lblOK.ForeColor(), 0x80000012L);
  EXPECT_EQ(Window().ImgOK.PicturePath(), Window().imgButton(1).PicturePath());
  Window().lblOK.MouseUp(2);
  EXPECT_EQ(Window().lblOK.ForeColor(), 0xFFC0C0);
  EXPECT_EQ(Window().ImgOK.PicturePath(), Window().imgButton(0).PicturePath());
  Window().Unload();
}

TEST_F(About, TheLinksOpenTheMakersHomePage) {
  rt::testing::Launches().clear();
  Window().Load();
  Window().Label2.Click();
  Window().lblCopyright.Click();
  EXPECT_EQ(TakeOpened(),
            (std::vector<std::string>{"http://www.vyk.example/vyk", "http://www.vyk.example/vyk"}));
  Window().Unload();
}
