#include <gtest/gtest.h>

#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/win32/Shell.h"
#include "tests/monitor/MonitorSandbox.h"

using Tollerwick_Main::MainForm;

class WebPages : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    WriteFile(home + "/download/TickerSettings.vyk", "\"msft\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
    ASSERT_TRUE(RunMain());
    rt::testing::Launches().clear();
  }
  std::string Opened() {
    const auto opened = TakeOpened();
    return opened.empty() ? std::string() : opened.back();
  }
  void On(int day) { rt::testing::SetNow(rt::DateTime{rt::DateSerial(2026, 12, day).serial + 0.5}, true); }
};

TEST_F(WebPages, UpgradesAndDowngradesAreThoseOfTheLastTradingDay) {
  On(5);
  MainForm->cmdDowngrades_Click();
  EXPECT_EQ(Opened(), "http://biz.provider1.example/c/20261204/d.html");
  On(6);
  MainForm->cmdUpgrades_Click();
  EXPECT_EQ(Opened(), "http://biz.provider1.example/c/20261204/u.html");
  On(7);
  MainForm->cmdUpgrades_Click();
  EXPECT_EQ(Opened(), "http://biz.provider1.example/c/20261207/u.html");
}

TEST_F(WebPages, PagesAboutAStockUseTheCurrentRowsTickerAsItStands) {
  MainForm->cmdNews2_Click();
  EXPECT_EQ(Opened(), "http://biz.provider1.example/n/m/msft.html");
  MainForm->cmdFundamentals_Click();
  EXPECT_EQ(Opened(), "http://fundamentals.example/cobrands/stocks.asp?cobrand=1982&symbol=msft");
  MainForm->cmdBuySell_Click();
  EXPECT_EQ(Opened(), "http://signals.example/texsnap.htx?sym=msft");
  // a current row that names no row: logged, nothing opened
  Tollerwick_Sub::SelectedRow = "9";
  MainForm->cmdBuySell_Click();
  EXPECT_EQ(Opened(), "");
  EXPECT_NE(ErrorLog().find("cmdBuySell_Click of Formular frmMain_Tollerwick  0  381"), std::string::npos);
}

TEST_F(WebPages, ATickerThatIsNoPlainWordIsEncodedIntoTheAddress) {
  MainForm->FG3.SetTextMatrix(2, 2, "^DJI");
  MainForm->cmdFundamentals_Click();
  EXPECT_EQ(Opened(), "http://fundamentals.example/cobrands/stocks.asp?cobrand=1982&symbol=%5EDJI");
  MainForm->cmdNews2_Click();
  EXPECT_EQ(Opened(), "http://biz.provider1.example/n/%5E/%5EDJI.html");
  MainForm->FG3.SetTextMatrix(2, 2, "BRK B");
  MainForm->cmdBuySell_Click();
  EXPECT_EQ(Opened(), "http://signals.example/texsnap.htx?sym=BRK%20B");
  // what would start another parameter or a fragment stays inside the symbol; a stored escape stays
  MainForm->FG3.SetTextMatrix(2, 2, "a&b#c %5E");
  MainForm->cmdBuySell_Click();
  EXPECT_EQ(Opened(), "http://signals.example/texsnap.htx?sym=a%26b%23c%20%5E");
  EXPECT_EQ(ErrorLog().find("of Formular"), std::string::npos);
}

TEST_F(WebPages, FindTickerFollowsTheProviderList) {
  MainForm->cmbProvider.SetListIndex(1);
  MainForm->cmdFindTicker_Click();
  EXPECT_EQ(Opened(), "http://quotes.provider2.example/dl/frt/M?IM=search&SA=search");
  MainForm->cmbProvider.SetListIndex(-1);
  MainForm->cmdFindTicker_Click();
  EXPECT_EQ(Opened(), "http://finance.provider1.example/l");
}

TEST_F(WebPages, TheSitesAreConfiguration) {
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\MakerDownload", "127.0.0.1:8080");
  MainForm->reportBug_Click();
  EXPECT_EQ(Opened(), "http://127.0.0.1:8080/support/BugReport.htm");
  // a value that is not a host and port is not used
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\MakerHome", "evil.example/x?y");
  MainForm->lblVykHome_Click();
  EXPECT_EQ(Opened(), "http://www.vyk.example/vyk");
}
