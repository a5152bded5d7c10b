#include <gtest/gtest.h>

#include <QWidget>
#include <algorithm>
#include <iterator>

#include "library/VYK_Language.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Handles.h"
#include "platform/win32/User.h"
#include "tests/monitor/MonitorSandbox.h"
#include "windows/frmOptions.h"

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
  // this balloon stands centred below its button, wherever the pointer is (the window, shown normally,
  // moved so that the balloon has room on the screen to either side)
  MainForm->SetWindowState(rt::stateNormal);
  MainForm->Move(-1500, 0);
  TipOf(MainForm->cmdFindTicker);
  const QWidget* balloon = rt::WidgetOf(Tollerwick_Sub::BalloonTips->hWnd());
  const QWidget* button = MainForm->cmdFindTicker.Widget();
  ASSERT_TRUE(balloon && button);
  const QPoint middleBelow = button->mapToGlobal(QPoint(button->width() / 2, button->height()));
  EXPECT_NEAR(balloon->frameGeometry().left() + balloon->width() / 2.0, middleBelow.x(), 1.5);
  EXPECT_NEAR(balloon->frameGeometry().top(), middleBelow.y(), 2);
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

TEST_F(BalloonHelp, EachTipShowsItsOwnTextToTheLetter) {
  ASSERT_TRUE(RunMain());
  MainForm->chkTooltip.SetValue(1);
  const std::string select = "Select the Ticker Symbol in above\nlist and press the command button\n";
  const std::string expected[] = {
      select + "to show the history chart",
      select + "to show the fundamental data",
      select + "to show the actual buy/sell signals",
      select + "to show the news provided by Yahoo",
      "show News provided by Realtimetraders",
      "press the command button\nto show the actual market update",
      "press the command button to show\nthe actual market upgrades",
      "press the command button to show\nthe actual market downgrades",
      "Start an update manually",
      "Enable cyclically downloads of realtime\ndata and checking for alarms. You \nhave to setup the start and "
      "stop\ntime in Menue Options/Preferences",
      "You can choose between 2 \ndata providers :\n   Number 1 - Yahoo\n   Number 2 - FreeRealTime\n\nAfter finding "
      "the Ticker in the\nprovider's Internet Page, you must\ntype or copy the Ticker Symbol\nand the Provider Number "
      "(1 or 2)\ninto the Ticker and Limit Table.\nThe Limit Values are optional.",
      "If the actual Stock Value is over\nthe High Limit and the last change is\npositiv then an alarm will be "
      "\ngenerated and messages will be sent.\n\nIf the High Limit field is empty,\nno alarm will be generated !!",
      "If the actual Stock Value is under\nthe Low Limit and the last change is\nnegativ then an alarm will be "
      "\ngenerated and messages will be sent.\n\nIf the Low Limit field is empty,\nno alarm will be generated !!",
      "Select the Data Provider\nfor Ticker search.",
  };
  const auto controls = Tipped();
  ASSERT_EQ(controls.size(), std::size(expected));
  for (size_t i = 0; i < controls.size(); ++i) EXPECT_EQ(TipOf(*controls[i]), expected[i]) << controls[i]->Name();

  // the options dialog's button has its tip in the same object
  frmOptions& options = rt::Default<frmOptions>();
  options.Load();
  EXPECT_EQ(TipOf(options.cmdChkNewVersion), "you can check and download\nnew versions of Tollerwick");
  options.Unload();
}
