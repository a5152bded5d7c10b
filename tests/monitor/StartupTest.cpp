#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLockFile>
#include <filesystem>

#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Language.h"
#include "platform/runtime/Program.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Registry.h"
#include "platform/win32/Multimedia.h"
#include "tests/monitor/MonitorSandbox.h"

using Tollerwick_Main::MainForm;

class Startup : public MonitorSandbox {};

TEST_F(Startup, FirstStartWithAnEmptyStoreOpensTheDesignedWindow) {
  ASSERT_TRUE(RunMain());
  ASSERT_NE(MainForm, nullptr);
  frmMain_Tollerwick& w = *MainForm;
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.Caption(), "Brennavale");
  // 1000 twips is not a whole number of pixels: the window stands within a pixel of it
  EXPECT_NEAR(w.Left(), 1000, rt::TwipsPerPixelX());
  EXPECT_NEAR(w.Top(), 1000, rt::TwipsPerPixelY());
  EXPECT_EQ(w.chkRT.Value(), 0);
  EXPECT_TRUE(w.chkRT.Enabled());
  EXPECT_TRUE(w.cmdUpdateRT.Enabled());
  EXPECT_EQ(w.chkScrollingTicker.Value(), 0);
  EXPECT_EQ(w.chkAlarmSnd.Value(), 1);
  EXPECT_EQ(w.chkTooltip.Value(), 0);
  EXPECT_EQ(w.ErrorIndicator.BackColor(), 0x00FF00);
  EXPECT_FALSE(w.lblError.Visible());
  ASSERT_EQ(w.cmbProvider.ListCount(), 2);
  EXPECT_EQ(w.cmbProvider.List(0), "Yahoo        1");
  EXPECT_EQ(w.cmbProvider.List(1), "FreeRealtime 2");
  EXPECT_EQ(w.cmbProvider.Text(), "Yahoo        1");
  EXPECT_EQ(Tollerwick_Sub::SelectedRow, "2");
  EXPECT_TRUE(std::filesystem::is_directory(home + "/download"));
  EXPECT_TRUE(std::filesystem::is_directory(home + "/documentation"));
  EXPECT_EQ(Setting("VYK\\Brennavale", "Settings", "ProgramVersion"), "3.7.4");
  // a normal start logs no error: the log holds its header only
  const auto log = Lines(ErrorLog());
  ASSERT_EQ(log.size(), 7u) << ErrorLog();
  EXPECT_EQ(log.back(), "########  End of Header  ##########");
}

TEST_F(Startup, ASecondInstanceIsToldAndEndsWithoutAWindow) {
  // another running instance holds the lock
  const std::string lockPath = root + "/run/tollerwick-" + std::to_string(::getuid()) + ".lock";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t other = ::fork();
  if (other == 0) {
    QLockFile lock(QString::fromStdString(lockPath));
    const char ok = lock.tryLock(0) ? 1 : 0;
    [[maybe_unused]] ssize_t n = ::write(ready[1], &ok, 1);
    ::pause();
    ::_exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 1);

  EXPECT_FALSE(RunMain());
  ::kill(other, SIGKILL);
  ::waitpid(other, nullptr, 0);

  const auto& shown = rt::testing::MessageBoxes().shown;
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].prompt, VYK_Language::LanguageText(306) + "\r\n" + VYK_Language::LanguageText(127));
  EXPECT_EQ(shown[0].style, 48);
  EXPECT_EQ(shown[0].title, "Brennavale Info");
  EXPECT_EQ(MainForm, nullptr);
  EXPECT_TRUE(rt::Forms().empty());
  EXPECT_EQ(Setting("VYK\\Brennavale", "Settings", "ProgramVersion"), "<none>");
}

TEST_F(Startup, AMissingOrBrokenLanguageFileEndsTheStartWithAFailureAndNoWindowOpens) {
  const auto endStatus = [&] {
    try {
      Tollerwick_Main::Main();
    } catch (const rt::EndOfProcess& e) {
      return e.code;
    }
    return -1;
  };
  std::filesystem::remove(common + "/language/english.lng");
  EXPECT_EQ(endStatus(), 1);
  const auto& shown = rt::testing::MessageBoxes().shown;
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].prompt.rfind("The language file english.lng is missing!", 0), 0u);
  EXPECT_EQ(MainForm, nullptr);
  EXPECT_TRUE(rt::Forms().empty());

  // a text number that is no number
  WriteFile(common + "/language/english.lng", "T0306\tRunning\r\nT03x6\tbroken\r\n");
  EXPECT_EQ(endStatus(), 1);
  EXPECT_EQ(MainForm, nullptr);
  EXPECT_NE(ErrorLog().find("set_language of Modul VYK_Language"), std::string::npos) << ErrorLog();
}

TEST_F(Startup, TheLanguageSettingChoosesTheFile) {
  WriteFile(common + "/language/german.lng", "T0306\tLaeuft schon\r\nT0127\tNur einmal\r\n");
  VYK_GetSystemInfos::RegAppName = "Brennavale";
  VYK_GetSystemInfos::GetPCInfos();
  rt::SaveSetting(UserApp(), "Settings", "Language", "german");
  EXPECT_TRUE(RunMain());
  EXPECT_EQ(VYK_Language::LanguageText(306), "Laeuft schon");
  ASSERT_NE(MainForm, nullptr);
  // texts the file does not define read as empty within the table
  EXPECT_EQ(VYK_Language::LanguageText(23), "");
}

TEST_F(Startup, ValuesSavedAtExitComeBackAtTheNextStart) {
  ASSERT_TRUE(RunMain());
  MainForm->chkRT.SetValue(1);
  MainForm->chkAlarmSnd.SetValue(0);
  MainForm->chkScrollingTicker.SetValue(0);
  MainForm->Move(2010, 1500);
  Exit();
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAutoUpdate"), "1");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAlarmSnd"), "0");
  EXPECT_EQ(Setting(UserApp(), "Data", "MainLeft"), "2010");
  EXPECT_EQ(Setting(UserApp(), "Data", "MainTop"), "1500");

  VYK_Language::LanguageText.Clear();
  ASSERT_TRUE(RunMain());
  EXPECT_EQ(MainForm->chkRT.Value(), 1);
  EXPECT_EQ(MainForm->chkAlarmSnd.Value(), 0);
  EXPECT_NEAR(MainForm->Left(), 2010, rt::TwipsPerPixelX());
  EXPECT_NEAR(MainForm->Top(), 1500, rt::TwipsPerPixelY());
  // and the next exit writes them back unchanged
  Exit();
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAutoUpdate"), "1");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAlarmSnd"), "0");
  EXPECT_EQ(Setting(UserApp(), "Data", "MainLeft"), "2010");
}

TEST_F(Startup, MissingSpeechComponentsAreToldOncePerComputer) {
  rt::testing::MessageBoxes().answers = {rt::answerCancel};
  ASSERT_TRUE(RunMain());
  auto& boxes = rt::testing::MessageBoxes();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, VYK_Language::LanguageText(23));
  EXPECT_EQ(boxes.shown[0].style, rt::mbOkCancel);
  EXPECT_NE(boxes.shown[0].prompt.find("Download url: http://"), std::string::npos);
  EXPECT_NE(boxes.shown[0].prompt.find("/activex/controls/sapi/spchapi.exe"), std::string::npos);
  // and what a user of this system installs instead
  EXPECT_NE(boxes.shown[0].prompt.find("apt-get install qt6-speech-flite-plugin"), std::string::npos);
  EXPECT_EQ(rt::registry::Read("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Settings", "TTS")->number, 0u);
  Exit();

  boxes.shown.clear();
  VYK_Language::LanguageText.Clear();
  ASSERT_TRUE(RunMain());
  EXPECT_TRUE(boxes.shown.empty());
  Exit();

  // a start that finds the components marks them found, and the message comes again when they are gone
  automation::SpeechObject::SetUnavailableForTesting(false);
  automation::SpeechObject::SetAvailableForTesting(true);
  VYK_Language::LanguageText.Clear();
  ASSERT_TRUE(RunMain());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(rt::registry::Read("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Settings", "TTS")->number, 0xFFFFFFFFu);
  Exit();
  automation::SpeechObject::SetAvailableForTesting(false);
  automation::SpeechObject::SetUnavailableForTesting(true);
  VYK_Language::LanguageText.Clear();
  ASSERT_TRUE(RunMain());
  EXPECT_EQ(boxes.shown.size(), 1u);
}
