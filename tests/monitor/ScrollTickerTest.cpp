#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmScrollTicker.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Events.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/support/Input.h"

using Tollerwick_Main::MainForm;
using namespace Tollerwick_Sub;

class ScrollTicker : public MonitorSandbox {
 protected:
  void StartWith(int tickers) {
    std::ostringstream file;
    for (int i = 1; i <= tickers; ++i) file << "\"T" << i << "\",\"\",\"\",\"1\",\"00:00:00\"\r\n";
    WriteFile(home + "/download/TickerSettings.vyk", file.str());
    ASSERT_TRUE(RunMain());
  }
  frmScrollTicker& Strip() { return rt::Default<frmScrollTicker>(); }
};

TEST_F(ScrollTicker, TheStripIsDockedUnderTheMainWindowAndAsWideAsItsEntries) {
  StartWith(1);
  EXPECT_EQ(Strip().Width(), 1500);
  EXPECT_EQ(Strip().Height(), 720);
  EXPECT_NEAR(Strip().Left(), MainForm->Left(), 15);
  EXPECT_NEAR(Strip().Top(), MainForm->Top() + MainForm->Height(), 15);
  EXPECT_EQ(Strip().lblMove.Top(), 600);
  EXPECT_EQ(VolumeLabels[1]->Left(), 100);
  EXPECT_EQ(TickerLabels[1]->Left(), 350);
  EXPECT_EQ(TickerLabels[1]->Caption(), "T1");
  EXPECT_EQ(ValueLabels[1]->Top(), 420);
  EXPECT_EQ(ValueLabels[1]->Caption(), "0");

  for (int i = 0; i < 5; ++i) MainForm->cmdAddTicker_Click();
  EXPECT_EQ(Strip().Width(), 9000);
  MainForm->cmdAddTicker_Click();
  EXPECT_EQ(Strip().Width(), 10245);
  EXPECT_EQ(Strip().lblMove.Width(), 10500);
}

TEST_F(ScrollTicker, NoMoreThan999Entries) {
  StartWith(1001);
  EXPECT_EQ(MainForm->FG3.Rows(), 1003);
  EXPECT_EQ(TickerCount, 999);
  EXPECT_EQ(Strip().RuntimeControlCount(), 4u * 999);
  EXPECT_EQ(TickerLabels[999]->Caption(), "T999");
  EXPECT_EQ(Strip().Width(), 10245);
}

TEST_F(ScrollTicker, AnEntryWrapsBehindTheLastOnlyPastItsOwnWidth) {
  StartWith(3);
  VolumeLabels[1]->SetLeft(-1485);
  Strip().TickerMove();
  EXPECT_EQ(VolumeLabels[1]->Left(), -1500);
  Strip().TickerMove();
  EXPECT_EQ(VolumeLabels[1]->Left(), 4500);
  EXPECT_EQ(TickerLabels[1]->Left(), 4750);
  EXPECT_EQ(TickerImages[1]->Left(), 4500);
  EXPECT_EQ(ValueLabels[1]->Left(), 4500);
  // the others moved 15 twips per tick
  EXPECT_EQ(VolumeLabels[3]->Left(), 3100 - 30);
  // from the start position, entry 1 wraps on the 107th tick
  MainForm->FillGrid(false);
  for (int tick = 1; tick <= 106; ++tick) Strip().TickerMove();
  EXPECT_EQ(VolumeLabels[1]->Left(), 100 - 106 * 15);
  Strip().TickerMove();
  EXPECT_EQ(VolumeLabels[1]->Left(), 4500);
  EXPECT_EQ(VolumeLabels[3]->Left(), 3100 - 107 * 15);
}

// An entry added while the strip scrolls comes in right behind the rightmost entry, however far the strip has
// moved, its labels and picture placed as at start-up: no two entries cover each other, when it is added or at
// any later tick, while the entries wrap round.
TEST_F(ScrollTicker, AnEntryAddedWhileTheStripScrollsCoversNoOther) {
  StartWith(3);
  struct Span {
    double from, to;
  };
  // what entry n covers, over its four controls; an entry whose controls have moved apart covers nothing
  auto span = [](int n) -> std::optional<Span> {
    const double left = VolumeLabels[n]->Left();
    if (TickerLabels[n]->Left() != left + 250 || TickerImages[n]->Left() != left || ValueLabels[n]->Left() != left)
      return std::nullopt;
    return Span{left, std::max({left + VolumeLabels[n]->Width(), left + 250 + TickerLabels[n]->Width(),
                                left + TickerImages[n]->Width(), left + ValueLabels[n]->Width()})};
  };
  // "" while every entry holds together and none covers another
  auto fault = [&]() -> std::string {
    for (int i = 1; i <= TickerCount; ++i) {
      const auto a = span(i);
      if (!a) return "entry " + std::to_string(i) + " has come apart";
      for (int j = i + 1; j <= TickerCount; ++j) {
        const auto b = span(j);
        if (b && a->from < b->to && b->from < a->to) {
          std::ostringstream covered;
          covered << "entry " << i << " at " << a->from << " covers entry " << j << " at " << b->from;
          return covered.str();
        }
      }
    }
    return "";
  };
  auto tick = [](int ticks) {
    for (int i = 0; i < ticks; ++i) MainForm->TimerTicker1_Timer();
  };
  // start-up places them one after the other
  EXPECT_EQ(VolumeLabels[2]->Left(), 1600);
  EXPECT_EQ(TickerLabels[3]->Left(), 3350);

  // added before the first entry wraps round, just after, and after several have
  for (const int ticks : {40, 150, 333}) {
    tick(ticks);
    double rightmost = 0;
    for (int n = 1; n <= TickerCount; ++n) rightmost = std::max(rightmost, span(n) ? span(n)->to : 0);
    const int before = TickerCount;
    ClickOn(MainForm->cmdAddTicker.Widget());
    ASSERT_EQ(TickerCount, before + 1);
    EXPECT_EQ(VolumeLabels[TickerCount]->Left(), rightmost) << "after " << ticks << " ticks";
    EXPECT_EQ(fault(), "") << "added after " << ticks << " ticks";
  }
  // every entry comes round twice
  for (int i = 1; i <= 1500; ++i) {
    tick(1);
    ASSERT_EQ(fault(), "") << "tick " << i << " after the last entry was added";
  }
  EXPECT_EQ(ErrorLog().find("of Formular frmScrollTicker"), std::string::npos) << ErrorLog();
}

TEST_F(ScrollTicker, ARebuildLeavesNoControlOfTheOldSet) {
  StartWith(4);
  rt::Control* old = Strip().FindControl("lblTicker4");
  ASSERT_NE(old, nullptr);
  MainForm->FG3.SimulateClick(5, 2);
  MainForm->cmdDeleteTicker_Click();
  EXPECT_EQ(TickerCount, 3);
  EXPECT_EQ(Strip().RuntimeControlCount(), 4u * 3);
  EXPECT_EQ(Strip().FindControl("lblTicker4"), nullptr);
  MainForm->FillGrid(false);
  MainForm->FillGrid(false);
  EXPECT_EQ(Strip().RuntimeControlCount(), 4u * 3);
  EXPECT_EQ(TickerLabels[3]->Caption(), "T3");
}

TEST_F(ScrollTicker, TheBoxShowsAndStopsTheStrip) {
  StartWith(2);
  EXPECT_FALSE(Strip().Visible());
  MainForm->chkScrollingTicker.SetValue(1);
  EXPECT_TRUE(Strip().Visible());
  EXPECT_TRUE(MainForm->TimerTicker1.Enabled());
  EXPECT_EQ(Tollerwick_Sub::chkScrollingTicker, 1);
  for (int i = 0; i < 1500 && VolumeLabels[1]->Left() == 100; ++i) rt::DoEventsWaiting(20);
  const double moved = VolumeLabels[1]->Left();
  EXPECT_LT(moved, 100);
  MainForm->chkScrollingTicker.SetValue(0);
  EXPECT_FALSE(Strip().Visible());
  EXPECT_FALSE(MainForm->TimerTicker1.Enabled());
  for (int i = 0; i < 5; ++i) rt::DoEventsWaiting(20);
  EXPECT_EQ(VolumeLabels[1]->Left(), moved);
}

// Mouse input on the drag bar as the window system delivers it. A press alone starts no move (a window
// manager moving the window would take the second press of a double click); past the drag distance the
// strip follows the pointer.
TEST_F(ScrollTicker, TheBarDocksTheStripByADoubleClickAndMovesItOnceDragged) {
  StartWith(2);
  MainForm->Move(3000, 1500);
  Strip().Move(0, 0);
  QWidget* area = Strip().Container();
  const QPoint bar(rt::ToPixelsX(100), rt::ToPixelsY(600 + 25));
  const QPoint global = area->mapToGlobal(bar);
  auto send = [&](QEvent::Type type, QPoint moved, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, bar + moved, global + moved, button, held, Qt::NoModifier);
    QApplication::sendEvent(area, &e);
  };
  const QPoint away = Strip().Window()->pos();
  send(QEvent::MouseButtonPress, {}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, {1, 0}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(Strip().Window()->pos(), away);
  send(QEvent::MouseButtonRelease, {1, 0}, Qt::LeftButton, Qt::NoButton);
  send(QEvent::MouseButtonDblClick, {1, 0}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {1, 0}, Qt::LeftButton, Qt::NoButton);
  EXPECT_NEAR(Strip().Left(), MainForm->Left(), 15);
  EXPECT_NEAR(Strip().Top(), MainForm->Top() + MainForm->Height(), 15);

  const QPoint docked = Strip().Window()->pos();
  send(QEvent::MouseButtonPress, {}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, {1, 0}, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseMove, {41, 20}, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseMove, {61, 30}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(Strip().Window()->pos(), docked + QPoint(60, 30));
  send(QEvent::MouseButtonRelease, {61, 30}, Qt::LeftButton, Qt::NoButton);
  send(QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::NoButton);
  rt::DoEvents();
  EXPECT_EQ(Strip().Window()->pos(), docked + QPoint(60, 30));
}

TEST_F(ScrollTicker, EveryAddedEntryDocksTheStripAgainAndShowsItByTheBox) {
  StartWith(2);
  MainForm->chkScrollingTicker.SetValue(1);
  // the user has dragged the strip away and moved the main window
  Strip().Move(0, 0);
  MainForm->Move(3000, 1500);
  MainForm->cmdAddTicker_Click();
  EXPECT_EQ(TickerCount, 3);
  EXPECT_NEAR(Strip().Left(), MainForm->Left(), 15);
  EXPECT_NEAR(Strip().Top(), MainForm->Top() + MainForm->Height(), 15);
  EXPECT_TRUE(Strip().Visible());

  // with the box unticked an added entry leaves the strip hidden, even one shown by other means
  MainForm->chkScrollingTicker.SetValue(0);
  Strip().Show();
  Strip().Move(0, 0);
  MainForm->cmdAddTicker_Click();
  EXPECT_FALSE(Strip().Visible());
  EXPECT_NEAR(Strip().Left(), MainForm->Left(), 15);
}

TEST_F(ScrollTicker, TheBoxKeepsItsSettingInStepBothWays) {
  StartWith(1);
  MainForm->chkScrollingTicker.SetValue(1);
  EXPECT_EQ(Tollerwick_Sub::chkScrollingTicker, 1);
  MainForm->chkScrollingTicker.SetValue(0);
  EXPECT_EQ(Tollerwick_Sub::chkScrollingTicker, 0);
  MainForm->chkScrollingTicker.SetValue(1);
  EXPECT_EQ(Tollerwick_Sub::chkScrollingTicker, 1);
}

// An entry whose building failed half-way (its picture is missing) lacks its later controls: the ticks
// report that and end, and the program goes on.
TEST_F(ScrollTicker, AHalfBuiltEntryEndsEachTickWithAReport) {
  StartWith(2);
  std::filesystem::remove(common + "/bitmap/unknown.bmp");
  MainForm->cmdAddTicker_Click();
  ASSERT_EQ(TickerCount, 3);
  ASSERT_EQ(ValueLabels[3], nullptr);
  EXPECT_NE(ErrorLog().find("AddScrollTicker of Formular frmMain_Tollerwick"), std::string::npos);
  const double before = VolumeLabels[1]->Left();
  Strip().TickerMove();
  MainForm->TimerTicker1_Timer();
  EXPECT_EQ(VolumeLabels[1]->Left(), before - 30);
  EXPECT_NE(ErrorLog().find("TickerMove of Formular frmScrollTicker  0  91  "), std::string::npos) << ErrorLog();
}

// The strip's window takes the places and sizes it is given when events next run. Built so, the strip looks
// as it does when every one of them reaches the window as it is given: the same pixels, the same window and
// every control in the same place.
TEST_F(ScrollTicker, TheStripLooksTheSameWhetherItsWindowTakesEveryStepOrTheLast) {
  StartWith(40);
  MainForm->chkScrollingTicker.SetValue(1);
  MainForm->TimerTicker1.SetEnabled(false);  // the entries stay where they were put
  auto build = [&](bool atOnce) {
    rt::testing::PlaceAtOnce(atOnce);
    MainForm->FillGrid(false);
    rt::testing::PlaceAtOnce(false);
    bool ran = false;  // posted after the window's own fitting, so run after it
    QTimer::singleShot(0, [&ran] { ran = true; });
    for (int i = 0; i < 200 && !ran; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(ran);
    const QRect window = Strip().Window()->frameGeometry();
    std::vector<std::string> places{"window " + std::to_string(window.x()) + "," + std::to_string(window.y()) +
                                    " " + std::to_string(window.width()) + "x" + std::to_string(window.height())};
    for (rt::Control* c : Strip().Controls()) {
      std::ostringstream place;
      place << c->Name() << " " << c->Left() << "," << c->Top() << " " << c->Width() << "x" << c->Height();
      places.push_back(place.str());
    }
    std::sort(places.begin(), places.end());
    return std::make_pair(places, Strip().Window()->grab().toImage());
  };
  const auto stepByStep = build(true);
  const auto last = build(false);
  EXPECT_EQ(last.first, stepByStep.first);
  EXPECT_TRUE(last.second == stepByStep.second) << "the strip's pixels differ";
  EXPECT_EQ(TickerCount, 40);
}
