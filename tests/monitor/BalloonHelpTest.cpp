#include <gtest/gtest.h>

#include <algorithm>

#include "library/VYK_Language.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/win32/User.h"
#include "tests/monitor/MonitorSandbox.h"

using Tollerwick_Main::MainForm;

class BalloonHelp : public MonitorSandbox {
 protected:
  std::vector<rt::Control*> Tipped() {
    frmMain_Tollerwick& m = *MainForm;
    return {&m.cmdCharts, &m.cmdFundamentals, &m.cmdBuySell, &m.cmdnews2, &m.cmdNews,
            &m.cmdMarketUpdate, &m.cmdUpgrades, &m.cmdDowngrades, &m.cmdUpdateRT, &m.chkRT,
            &m.cmdFindTicker, &m.txtHigh, &m.txtLow, &m.cmbProvider};
  }
  std::string TipOf(rt::Control& c) {
    const long window = Tollerwick_Sub::BalloonTips->hWnd();
    win32::ShowTipNow(window, c.hWnd());
    return win32::ShownTipText(window);
  }
  int TipCount() {
    int n = 0;
    for (rt::Control* c : Tipped()) n += TipOf(*c).empty() ? 0 : 1;
    return n;
  }
};

TEST_F(BalloonHelp, SavedOnTheTipsStandOnTheFourteenControlsOnceAndGoWithTheBox) {
  ASSERT_TRUE(RunMain());
  EXPECT_EQ(TipCount(), 0);
  MainForm->chkTooltip.SetValue(1);
  ASSERT_NE(Tollerwick_Sub::BalloonTips, nullptr);
  EXPECT_EQ(TipCount(), 14);
  EXPECT_EQ(Tollerwick_Sub::BalloonTips->DelayTime(), 300);
  EXPECT_EQ(Tollerwick_Sub::BalloonTips->VisibleTime(), 10000);
  EXPECT_EQ(Tollerwick_Sub::BalloonTips->BkColor(), 0xC0FFFF);
  EXPECT_EQ(Tollerwick_Sub::BalloonTips->Style(), 2);
  MainForm->chkTooltip.SetValue(0);
  EXPECT_EQ(TipCount(), 0);
  EXPECT_TRUE(TipOf(MainForm->FG3).empty());
}

TEST_F(BalloonHelp, TheFindTickerTipKeepsItsLinesAndBlanks) {
  ASSERT_TRUE(RunMain());
  MainForm->chkTooltip.SetValue(1);
  const std::string tip = TipOf(MainForm->cmdFindTicker);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = tip.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(tip.substr(start, nl - start));
  lines.push_back(tip.substr(start));
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], "You can choose between 2 ");
  EXPECT_EQ(lines[2], "   Number 1 - Yahoo");
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[10], "The Limit Values are optional.");
  const std::string high = TipOf(MainForm->txtHigh);
  EXPECT_EQ(std::count(high.begin(), high.end(), '\n'), 6);
}

TEST_F(BalloonHelp, TheBoxSavedTickedGivesEachTipOnceAndOneUntickRemovesThemAll) {
  ASSERT_TRUE(RunMain());
  MainForm->chkTooltip.SetValue(1);
  Exit();
  VYK_Language::LanguageText.Clear();
  ASSERT_TRUE(RunMain());
  EXPECT_EQ(MainForm->chkTooltip.Value(), 1);
  EXPECT_EQ(TipCount(), 14);
  MainForm->chkTooltip.SetValue(0);
  EXPECT_EQ(TipCount(), 0);
}
