#include <gtest/gtest.h>

#include <QTimer>
#include <filesystem>
#include <iterator>
#include <vector>

#include "library/VYK_GetSystemInfos.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Registry.h"
#include "platform/win32/User.h"
#include "tests/monitor/MonitorSandbox.h"
#include "windows/frmOptions.h"

using Tollerwick_Main::MainForm;

class Options : public OptionsSandbox {
 protected:
  bool RunValue() {
    return rt::registry::Read("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Tollerwick1")
        .has_value();
  }
  std::string AutostartEntry() const { return config + "/autostart/Tollerwick1.desktop"; }
};

TEST_F(Options, TheDefaultsShowNormalisedAndOkStoresThem) {
  EXPECT_FALSE(Dialog().IsLoaded());
  EXPECT_EQ(Dialog().txtStartTime.Text(), "09:30");  // reading a control loads the dialog hidden
  EXPECT_TRUE(Dialog().IsLoaded());
  EXPECT_FALSE(Dialog().Visible());
  EXPECT_NEAR(Dialog().Left(), (rt::ScreenWidth() - Dialog().Width()) / 2, rt::TwipsPerPixelX());
  EXPECT_NEAR(Dialog().Top(), (rt::ScreenHeight() - Dialog().Height()) / 2, rt::TwipsPerPixelY());
  EXPECT_EQ(Dialog().txtStopTime.Text(), "16:30");
  EXPECT_EQ(Dialog().txtUpdateInterval.Text(), "10");
  EXPECT_EQ(Dialog().VScroll1.Value(), 10);
  EXPECT_EQ(Dialog().txtAlarmWait.Text(), "12");
  EXPECT_EQ(Dialog().VScroll2.Value(), 12);
  EXPECT_EQ(Dialog().VScroll2.Min(), 2);
  EXPECT_TRUE(Dialog().optConnection(2).Value());
  EXPECT_FALSE(Dialog().optConnection(0).Value());
  EXPECT_EQ(Dialog().chkEMail1.Value(), 0);
  EXPECT_EQ(Dialog().txtUserName.Text(), VYK_GetSystemInfos::UserID);
  EXPECT_FALSE(Dialog().txtUserName.Enabled());
  EXPECT_EQ(Dialog().SSTab1.Tab(), 1);
  EXPECT_EQ(Dialog().SSTab1.TabCaption(1), "Mail Server");
  Dialog().cmdOK_Click();
  EXPECT_FALSE(Dialog().IsLoaded());
  EXPECT_EQ(Setting(UserApp(), "Settings", "txtStartTime"), "09:30");
  EXPECT_EQ(Tollerwick_Sub::txtUserName, VYK_GetSystemInfos::UserID);
}

TEST_F(Options, TheProxyChoiceChangesTheSettingAtOnceAndCancelKeepsIt) {
  Tollerwick_Sub::optConnection = 1;
  EXPECT_TRUE(Dialog().optConnection(0).Value());
  Dialog().Unload();
  Tollerwick_Sub::optConnection = 0;
  Dialog().Load();
  Dialog().optConnection(0).SetValue(true);
  EXPECT_EQ(Tollerwick_Sub::optConnection, 1);
  Dialog().cmdCancel_Click();
  EXPECT_EQ(Tollerwick_Sub::optConnection, 1);
}

TEST_F(Options, TheAutostartValueFollowsTheBoxAtClickTime) {
  Tollerwick_Sub::chkProgramStart = 1;
  Dialog().Load();
  EXPECT_TRUE(RunValue());
  ASSERT_TRUE(std::filesystem::exists(AutostartEntry()));
  // the session starts this same executable with this program folder
  const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
  EXPECT_NE(ReadFile(AutostartEntry()).find("\nExec=env \"TOLLERWICK_HOME=" + home + "\" \"" + exe + "\"\n"),
            std::string::npos)
      << ReadFile(AutostartEntry());
  Dialog().chkProgramStart.SetValue(0);
  EXPECT_FALSE(RunValue());
  EXPECT_FALSE(std::filesystem::exists(AutostartEntry()));
  Dialog().cmdCancel_Click();
  EXPECT_EQ(Tollerwick_Sub::chkProgramStart, 1);
  Dialog().Load();
  EXPECT_TRUE(RunValue());
  // a grey box starts nothing either
  Dialog().chkProgramStart.SetValue(2);
  EXPECT_FALSE(RunValue());
  EXPECT_FALSE(std::filesystem::exists(AutostartEntry()));
}

TEST_F(Options, ApplyKeepsTheDialogOpenAndCopiesEveryField) {
  Dialog().Load();
  Dialog().txtEmailServer.SetText("mail.example");
  Dialog().txtUserName2.SetText("trader");
  Dialog().chkShutdown.SetValue(1);
  Dialog().cmdApply_Click();
  EXPECT_TRUE(Dialog().IsLoaded());
  EXPECT_EQ(Tollerwick_Sub::txtEmailServer, "mail.example");
  EXPECT_EQ(Tollerwick_Sub::txtUserName2, "trader");
  EXPECT_EQ(rt::CStr(Tollerwick_Sub::chkShutdown), "1");
  EXPECT_EQ(Setting("VYK\\Common", "Settings", "txtEmailServer"), "mail.example");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkShutdown"), "1");
}

TEST_F(Options, TheResetButtonClearsTheAlarmStampsOfTheTickerRowsOnly) {
  MainForm->FG3.SetTextMatrix(2, 14, "12/6/2026 3:00:00 PM");
  MainForm->FG3.SetTextMatrix(1, 14, "group");
  Dialog().CmdEmailWaittime_Click();
  EXPECT_EQ(MainForm->FG3.TextMatrix(2, 14), "00:00:00");
  EXPECT_EQ(MainForm->FG3.TextMatrix(1, 14), "group");
}

TEST_F(Options, TheMenuShowsTheDialogModallyCentredAndItsTipFollowsTheMainBox) {
  MainForm->chkTooltip.SetValue(1);
  bool shown = false;
  std::string tip;
  double left = 0, top = 0, width = 0, height = 0;
  auto look = [&] {
    shown = Dialog().Visible();
    left = Dialog().Left(), top = Dialog().Top(), width = Dialog().Width(), height = Dialog().Height();
    const long window = Tollerwick_Sub::BalloonTips->hWnd();
    win32::ShowTipNow(window, Dialog().cmdChkNewVersion.hWnd());
    tip = win32::ShownTipText(window);
    Dialog().cmdCancel_Click();
  };
  QTimer::singleShot(50, look);
  MainForm->mnuOption_Click();
  EXPECT_TRUE(shown);
  EXPECT_EQ(tip, "you can check and download\nnew versions of Tollerwick");
  EXPECT_FALSE(Dialog().IsLoaded());
  EXPECT_NEAR(left, (rt::ScreenWidth() - width) / 2, 5 * rt::TwipsPerPixelX());
  EXPECT_NEAR(top, (rt::ScreenHeight() - height) / 2, 5 * rt::TwipsPerPixelY());

  // with the box unticked, the next load gives the button no tip
  MainForm->chkTooltip.SetValue(0);
  shown = false;
  QTimer::singleShot(50, look);
  MainForm->mnuOption_Click();
  EXPECT_TRUE(shown);
  EXPECT_EQ(tip, "");
}

// Every control bound to a setting, with a value that differs from the setting's default.
struct TextField {
  rt::TextBox frmOptions::*box;
  const char* value;
};
struct CheckField {
  rt::CheckBox frmOptions::*box;
  bool clickTime;  // its setting changes when the box is clicked, not only through OK or Apply
};

// Servers and addresses come before the switches, so that the switches pass their set-up test.
const TextField kTextFields[] = {
    {&frmOptions::txtUserEmail, "me@round-trip.example"},
    {&frmOptions::txtStartTime, "08:15"},
    {&frmOptions::txtStopTime, "17:45"},
    {&frmOptions::txtUpdateInterval, "25"},
    {&frmOptions::txtAlarmWait, "7"},
    {&frmOptions::txtProxyServer, "proxy.round-trip.example"},
    {&frmOptions::txtProxyPort, "3128"},
    {&frmOptions::txtEmailServer, "smtp.round-trip.example"},
    {&frmOptions::txtToEmailAddress1, "one@round-trip.example"},
    {&frmOptions::txtToEmailAddress2, "two@round-trip.example"},
    {&frmOptions::txtToInternetSMSAddress, "http://web-sms.round-trip.example"},
    {&frmOptions::txtToSMSAddress, "+4915550001@gateway.round-trip.example"},
    {&frmOptions::txtToSMSSubject, "424242"},
    {&frmOptions::txtUserName2, "trader7"},
    {&frmOptions::txtPassword2, "s3cret!"},
};
const CheckField kCheckFields[] = {
    {&frmOptions::ChkProgramUpdate, false},
    {&frmOptions::chkAutoInstallation, false},
    {&frmOptions::chkUpdateIfOnline, false},
    {&frmOptions::chkStartInTray, false},
    {&frmOptions::chkProgramStart, false},
    {&frmOptions::chkShutdown, false},
    {&frmOptions::chkEMail1, true},
    {&frmOptions::chkEMail2, true},
    {&frmOptions::chkSMS, true},
    {&frmOptions::chkInternetSMS, true},
};
constexpr const char* kUserName = "display only";

TEST_F(Options, EveryFieldAppliedComesBackAfterTheSettingsAreReadAgain) {
  rt::testing::MessageBoxes().shown.clear();
  frmOptions& d = Dialog();
  d.Load();
  for (const TextField& f : kTextFields) (d.*f.box).SetText(f.value);
  d.txtUserName.SetText(kUserName);
  for (const CheckField& f : kCheckFields) (d.*f.box).SetValue(1);
  d.optConnection(0).SetValue(true);
  ASSERT_TRUE(rt::testing::MessageBoxes().shown.empty()) << rt::testing::MessageBoxes().shown[0].prompt;
  d.cmdApply_Click();
  d.cmdCancel_Click();

  // whatever the variables hold now, the store decides
  using namespace Tollerwick_Sub;
  for (std::string* text :
       {&txtUserEmail, &txtStartTime, &txtStopTime, &txtUpdateInterval, &txtAlarmWait, &txtProxyServer, &txtProxyPort,
        &txtEmailServer, &txtToEmailAddress1, &txtToEmailAddress2, &txtToInternetSMSAddress, &txtToSMSAddress,
        &txtToSMSSubject, &txtUserName2, &txtPassword2, &txtUserName})
    *text = "stale";
  for (int* value : {&ChkProgramUpdate, &chkAutoInstallation, &chkUpdateIfOnline, &chkStartInTray, &chkProgramStart,
                     &chkEMail1, &chkEMail2, &chkSMS, &chkInternetSMS, &optConnection})
    *value = 0;
  chkShutdown = std::string("0");
  Load_Settings();

  EXPECT_EQ(txtUserName, kUserName);
  for (const TextField& f : kTextFields) EXPECT_EQ((d.*f.box).Text(), f.value) << (d.*f.box).Name();
  for (const CheckField& f : kCheckFields) EXPECT_EQ((d.*f.box).Value(), 1) << (d.*f.box).Name();
  EXPECT_TRUE(d.optConnection(0).Value());
  EXPECT_EQ(d.VScroll1.Value(), 25);
  EXPECT_EQ(d.VScroll2.Value(), 7);
  EXPECT_TRUE(rt::testing::MessageBoxes().shown.empty());
}

TEST_F(Options, CancelKeepsNoneOfTheFieldsCopiedByOkAndApplyAndSavesNothing) {
  rt::testing::MessageBoxes().shown.clear();
  frmOptions& d = Dialog();
  d.Load();
  std::vector<std::string> before;
  for (const TextField& f : kTextFields) before.push_back((d.*f.box).Text());
  for (const TextField& f : kTextFields) (d.*f.box).SetText(f.value);
  for (const CheckField& f : kCheckFields) (d.*f.box).SetValue(1);
  ASSERT_TRUE(rt::testing::MessageBoxes().shown.empty()) << rt::testing::MessageBoxes().shown[0].prompt;
  d.cmdCancel_Click();
  using namespace Tollerwick_Sub;
  auto switches = [] { return std::vector<int>{chkEMail1, chkEMail2, chkSMS, chkInternetSMS}; };
  // the switches change their settings when clicked, and Cancel leaves them so
  EXPECT_EQ(switches(), std::vector<int>(4, 1));

  // nothing else reached the variables, and nothing reached the store
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) {
      Load_Settings();
      EXPECT_EQ(switches(), std::vector<int>(4, 0));
    }
    for (size_t i = 0; i < std::size(kTextFields); ++i)
      EXPECT_EQ((d.*kTextFields[i].box).Text(), before[i]) << (d.*kTextFields[i].box).Name() << " pass " << pass;
    for (const CheckField& f : kCheckFields) {
      if (f.clickTime) continue;
      EXPECT_EQ((d.*f.box).Value(), 0) << (d.*f.box).Name() << " pass " << pass;
    }
    d.Unload();
  }
}
