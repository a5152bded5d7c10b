// Everything the program hands to the desktop, as the launch recorder sees it: web pages in the user's
// browser, the download page of a newer version, the speech components' downloads, the system-information
// program and the error log in the editor.

#include <gtest/gtest.h>

#include <functional>

#include "library/VYK_Internet.h"
#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Launch.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/HttpPeer.h"
#include "tests/support/Input.h"
#include "windows/frmAbout.h"

using rt::Launched;
using Tollerwick_Main::MainForm;

namespace {
Launched Page(const std::string& address) {
  return {Launched::Address, address, {}};
}
}  // namespace

class DesktopLaunches : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    WriteFile(home + "/download/TickerSettings.vyk", "\"msft\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  }
  bool Start() {
    const bool started = RunMain();
    rt::testing::MessageBoxes().shown.clear();
    return started;
  }
  // What was launched since the last look.
  std::vector<Launched> Taken() {
    auto& launches = rt::testing::Launches();
    std::vector<Launched> taken;
    taken.swap(launches);
    return taken;
  }
};

TEST_F(DesktopLaunches, EveryWebShortcutOpensItsExactAddress) {
  ASSERT_TRUE(Start());
  Taken();
  const std::pair<std::function<void()>, std::string> shortcuts[] = {
      {[] { MainForm->cmdDowngrades_Click(); }, "http://biz.provider1.example/c/20261207/d.html"},
      {[] { MainForm->cmdUpgrades_Click(); }, "http://biz.provider1.example/c/20261207/u.html"},
      {[] { MainForm->cmdFundamentals_Click(); },
       "http://fundamentals.example/cobrands/stocks.asp?cobrand=1982&symbol=msft"},
      {[] { MainForm->cmdBuySell_Click(); }, "http://signals.example/texsnap.htx?sym=msft"},
      {[] { MainForm->cmdMarketUpdate_Click(); }, "http://finance.provider1.example/mo?u"},
      {[] { MainForm->cmdNews_Click(); }, "http://market-news.example/news/news.asp"},
      {[] { MainForm->cmdNews2_Click(); }, "http://biz.provider1.example/n/m/msft.html"},
      {[] { MainForm->lblVykHome_Click(); }, "http://www.vyk.example/vyk"},
      {[] { MainForm->reportBug_Click(); }, "http://download.vyk.example/support/BugReport.htm"},
      {[] {
         MainForm->cmbProvider.SetListIndex(0);
         MainForm->cmdFindTicker_Click();
       },
       "http://finance.provider1.example/l"},
      {[] {
         MainForm->cmbProvider.SetListIndex(1);
         MainForm->cmdFindTicker_Click();
       },
       "http://quotes.provider2.example/dl/frt/M?IM=search&SA=search"},
  };
  for (const auto& [click, address] : shortcuts) {
    click();
    EXPECT_EQ(Taken(), std::vector<Launched>{Page(address)}) << address;
  }
}

// A page that no program can be started for (the desktop has no opener): the error log says so, and the lamp
// lights.
TEST_F(DesktopLaunches, AShortcutNoProgramCanOpenIsLoggedWithItsCause) {
  ASSERT_TRUE(Start());
  Taken();
  rt::testing::RecordLaunches(false);
  ClickOn(MainForm->cmdNews.Widget());
  EXPECT_EQ(Taken(), std::vector<Launched>{Page("http://market-news.example/news/news.asp")});
  EXPECT_NE(ErrorLog().find("cmdNews_Click of Formular frmMain_Tollerwick  0  5  No program could be started to "
                            "open the address http://market-news.example/news/news.asp\r\n"),
            std::string::npos)
      << ErrorLog();
  EXPECT_EQ(MainForm->ErrorIndicator.BackColor(), 0x8080FF);
  EXPECT_TRUE(MainForm->lblError.Visible());
}

TEST_F(DesktopLaunches, YesToANewerVersionOpensTheDownloadPage) {
  ASSERT_TRUE(Start());
  peers::HttpServer server(
      [](const std::string&) -> std::optional<std::string> { return peers::Reply(200, "OK", "100,3.7.12\r\n"); });
  const std::string host = "127.0.0.1:" + std::to_string(server.Port());
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\MakerDownload", host);
  Taken();
  rt::testing::MessageBoxes().answers = {rt::answerNo, rt::answerYes};
  VYK_Internet::ChkNewVersion();
  EXPECT_TRUE(Taken().empty());
  VYK_Internet::ChkNewVersion();
  EXPECT_EQ(Taken(), std::vector<Launched>{Page("http://" + host + "/products/downloads_e.htm")});
  EXPECT_EQ(rt::testing::MessageBoxes().shown.size(), 2u);
}

TEST_F(DesktopLaunches, OkToTheSpeechNoticeDownloadsBothComponents) {
  rt::testing::MessageBoxes().answers = {rt::answerOk};
  ASSERT_TRUE(Start());
  EXPECT_EQ(Taken(),
            (std::vector<Launched>{Page("http://speech-components.example/activex/controls/sapi/spchapi.exe"),
                                   Page("http://speech-components.example/activex/controls/agent2/tv_enua.exe")}));
}

TEST_F(DesktopLaunches, SystemInformationStartsTheProgramOfTheFirstRegistryValue) {
  ASSERT_TRUE(Start());
  Taken();
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO\\PATH", home + "/sysinfo");
  frmAbout& about = rt::Default<frmAbout>();
  about.lblSysInfo_Click();
  EXPECT_EQ(Taken(), (std::vector<Launched>{{Launched::Program, home + "/sysinfo", {}}}));
  EXPECT_TRUE(rt::testing::MessageBoxes().shown.empty());
  // a program that cannot be started: the user is told
  rt::testing::RecordLaunches(false);
  about.lblSysInfo_Click();
  ASSERT_EQ(rt::testing::MessageBoxes().shown.size(), 1u);
  EXPECT_EQ(rt::testing::MessageBoxes().shown[0].prompt, "System Information Is Unavailable At This Time");
  about.Unload();
}

TEST_F(DesktopLaunches, TheErrorLampOpensTheLogInTheEditor) {
  ASSERT_TRUE(Start());
  Taken();
  MainForm->lblError_Click();
  EXPECT_EQ(Taken(), (std::vector<Launched>{{Launched::Document, home + "/../Common/error.log", {}}}));
}
