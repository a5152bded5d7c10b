#include <gtest/gtest.h>

#include "library/VYK_GetSystemInfos.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Registry.h"
#include "tests/monitor/MonitorSandbox.h"

using namespace Tollerwick_Sub;

class Settings : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    VYK_GetSystemInfos::RegAppName = "Brennavale";
    VYK_GetSystemInfos::GetPCInfos();
  }
};

TEST_F(Settings, AnEmptyStoreGivesTheDefaultsAndLoadingWritesNothing) {
  Load_Settings();
  EXPECT_EQ(txtProxyServer, "MyProxy");
  EXPECT_EQ(txtEmailServer, "RaDArazIzuvav");
  EXPECT_EQ(txtProxyPort, "80");
  EXPECT_EQ(chkAlarmSnd, 1);
  EXPECT_EQ(chkAutoUpdate, 0);
  EXPECT_EQ(txtStartTime, "9:30");
  EXPECT_EQ(txtStopTime, "16:30");
  EXPECT_EQ(txtUpdateInterval, "10");
  EXPECT_EQ(txtAlarmWait, "12");
  EXPECT_EQ(txtToSMSSubject, "530471");
  EXPECT_EQ(rt::CStr(chkShutdown), "0");
  EXPECT_FALSE(rt::registry::KeyExists("HKEY_CURRENT_USER\\Software\\Program Settings\\VYK\\Brennavale\\" +
                                       VYK_GetSystemInfos::UserID + "\\Settings"));
}

TEST_F(Settings, ASwitchThatIsNoSwitchCostsOnlyItselfAndIsLogged) {
  rt::SaveSetting(UserApp(), "Settings", "chkUpdateIfOnline", "1");
  rt::SaveSetting(UserApp(), "Settings", "chkTooltip", "abc");
  rt::SaveSetting(UserApp(), "Settings", "chkScrollingTicker", "7");
  rt::SaveSetting(UserApp(), "Settings", "chkAlarmSnd", "0");
  rt::SaveSetting(UserApp(), "Settings", "txtStartTime", "8:00");
  rt::SaveSetting(UserApp(), "Settings", "chkShutdown", "yes");
  rt::SaveSetting(CommonApp(), VYK_GetSystemInfos::UserID, "txtUserName", "Jo");
  // what the variables hold before the load
  chkUpdateIfOnline = 0;
  chkTooltip = 1;
  chkScrollingTicker = 1;
  chkAlarmSnd = 1;
  txtStartTime.clear();
  txtToSMSSubject.clear();
  txtUserName.clear();
  Load_Settings();
  EXPECT_EQ(chkUpdateIfOnline, 1);
  EXPECT_EQ(chkTooltip, 0);  // the defaults
  EXPECT_EQ(chkScrollingTicker, 0);
  EXPECT_EQ(rt::CDbl(chkShutdown), 0);
  EXPECT_EQ(chkAlarmSnd, 0);  // and every value after them as stored
  EXPECT_EQ(txtStartTime, "8:00");
  EXPECT_EQ(txtToSMSSubject, "530471");
  EXPECT_EQ(txtUserName, "Jo");
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 2u) << ErrorLog();
  EXPECT_NE(lines[0].find("  Load_Settings of Modul Tollerwick_Sub  0  13  Type mismatch"), std::string::npos);
  EXPECT_NE(lines[1].find("  Load_Settings of Modul Tollerwick_Sub  0  380  Invalid property value"), std::string::npos);
}

TEST_F(Settings, AWindowPositionThatIsNoNumberCostsOnlyItself) {
  rt::SaveSetting(UserApp(), "Data", "MainLeft", "abc");
  rt::SaveSetting(UserApp(), "Data", "MainTop", "1500");
  rt::SaveSetting(UserApp(), "Settings", "chkAutoUpdate", "1");
  rt::SaveSetting(UserApp(), "Settings", "chkAlarmSnd", "0");
  rt::SaveSetting(UserApp(), "Settings", "chkScrollingTicker", "1");
  rt::SaveSetting(UserApp(), "Settings", "chkTooltip", "1");
  ASSERT_TRUE(RunMain());
  frmMain_Tollerwick& w = *Tollerwick_Main::MainForm;
  EXPECT_EQ(w.Top(), 1500);
  EXPECT_EQ(w.chkRT.Value(), 1);
  EXPECT_EQ(w.chkAlarmSnd.Value(), 0);
  EXPECT_EQ(w.chkScrollingTicker.Value(), 1);
  EXPECT_EQ(w.chkTooltip.Value(), 1);
  EXPECT_NE(ErrorLog().find("form_load of Formular frmMain_Tollerwick  0  13  Type mismatch"), std::string::npos)
      << ErrorLog();
  Exit();
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAutoUpdate"), "1");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAlarmSnd"), "0");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkScrollingTicker"), "1");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkTooltip"), "1");
  EXPECT_EQ(Setting(UserApp(), "Data", "MainTop"), "1500");
}

TEST_F(Settings, OneUnusableValueInTheStoreCostsOnlyThatSettingAndIsLogged) {
  rt::SaveSetting(UserApp(), "Settings", "txtStartTime", "8:00");
  rt::SaveSetting(CommonApp(), "Settings", "txtProxyServer", "proxy.example.net");
  rt::SaveSetting(CommonApp(), "Settings", "txtEmailServer", "mail.example.net");
  // another program wrote the proxy port as a number, and a negative one
  const std::string store = rt::registry::StorePath();
  std::string text = ReadFile(store);
  const std::string port = "\"name\": \"txtProxyServer\"";
  ASSERT_NE(text.find(port), std::string::npos) << text;
  text.insert(text.find('{', text.rfind("\"values\"", text.find(port))),
              "{\"name\": \"txtProxyPort\", \"type\": \"REG_DWORD\", \"data\": -1}, ");
  WriteFile(store, text);
  txtStartTime.clear();
  txtProxyServer.clear();
  txtEmailServer.clear();
  Load_Settings();
  EXPECT_EQ(txtStartTime, "8:00");
  EXPECT_EQ(txtProxyServer, "proxy.example.net");
  EXPECT_EQ(txtEmailServer, "mail.example.net");
  EXPECT_EQ(txtProxyPort, "80");
  const std::string log = ErrorLog();
  EXPECT_NE(log.find("\"txtProxyPort\" of the key \"HKEY_CURRENT_USER\\Software\\Program Settings\\" + CommonApp() +
                     "\\Settings\""),
            std::string::npos)
      << log;
}

TEST_F(Settings, AMinimisedWindowKeepsTheSavedPosition) {
  ASSERT_TRUE(RunMain());
  frmMain_Tollerwick& w = *Tollerwick_Main::MainForm;
  w.Move(3000, 2010);
  Save_Settings();
  EXPECT_EQ(Setting(UserApp(), "Data", "MainLeft"), "3000");
  w.SetWindowState(rt::stateMinimized);
  w.Move(4500, 4500);
  w.chkTooltip.SetValue(1);
  Save_Settings();
  EXPECT_EQ(Setting(UserApp(), "Data", "MainLeft"), "3000");
  EXPECT_EQ(Setting(UserApp(), "Data", "MainTop"), "2010");
  // the rest is saved all the same
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkTooltip"), "1");
}

TEST_F(Settings, EverySettingIsWrittenAsTextAndReadBack) {
  Load_Settings();
  ASSERT_TRUE(RunMain());
  chkAutoInstallation = 1;
  txtUserName = "Jo Smith";
  txtPassword2 = "s3cret";
  chkShutdown = std::string("1");
  Save_Settings();
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAutoInstallation"), "1");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkProgramUpdate"), "0");
  EXPECT_EQ(Setting(CommonApp(), VYK_GetSystemInfos::UserID, "txtUserName"), "Jo Smith");
  EXPECT_EQ(Setting(CommonApp(), "Settings", "txtEmailServer"), "RaDArazIzuvav");
  chkAutoInstallation = 0;
  txtUserName.clear();
  txtPassword2.clear();
  Load_Settings();
  EXPECT_EQ(chkAutoInstallation, 1);
  EXPECT_EQ(txtUserName, "Jo Smith");
  EXPECT_EQ(txtPassword2, "s3cret");
  EXPECT_EQ(rt::CStr(chkShutdown), "1");
}

TEST_F(Settings, WithoutAMainWindowSavingIsReportedNotACrash) {
  ASSERT_EQ(Tollerwick_Main::MainForm, nullptr);
  EXPECT_FALSE(Save_Settings());
  EXPECT_FALSE(Save_TickerSettings());
  EXPECT_NE(ErrorLog().find("Save_Settings of Modul Tollerwick_Sub  0  91  "), std::string::npos) << ErrorLog();
  EXPECT_NE(ErrorLog().find("Save_TickerSettings of Modul Tollerwick_Sub  0  91  "), std::string::npos);
}
