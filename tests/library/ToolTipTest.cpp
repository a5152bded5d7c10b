#include "library/cToolTip.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "platform/controls/Controls.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Handles.h"
#include "platform/win32/User.h"
#include "tests/support/Sandbox.h"

class ToolTip : public Sandbox {
 protected:
  void TearDown() override {
    rt::testing::DiscardForms();
    Sandbox::TearDown();
  }
};

TEST_F(ToolTip, ANewObjectHasItsStartingLooks) {
  cToolTip tips;
  EXPECT_NE(tips.hWnd(), 0);
  EXPECT_EQ(tips.Style(), 1);
  EXPECT_EQ(tips.TipWidth(), 300);
  EXPECT_EQ(tips.BkColor(), 0xEEFFFF);
  EXPECT_EQ(tips.TxtColor(), 0);
  EXPECT_EQ(tips.DelayTime(), 500);
  EXPECT_EQ(tips.VisibleTime(), 2000);
  EXPECT_EQ(win32::GetWindowLongA(tips.hWnd(), win32::GWL_STYLE), win32::TTS_ALWAYSTIP | win32::TTS_NOPREFIX);
}

TEST_F(ToolTip, TheStyleSwitchesOnlyTheBalloonBit) {
  cToolTip tips;
  const long plain = win32::GetWindowLongA(tips.hWnd(), win32::GWL_STYLE);
  tips.SetStyle(2);
  EXPECT_EQ(win32::GetWindowLongA(tips.hWnd(), win32::GWL_STYLE), plain | win32::TTS_BALLOON);
  tips.SetStyle(3);
  EXPECT_EQ(tips.Style(), 3);
  EXPECT_EQ(win32::GetWindowLongA(tips.hWnd(), win32::GWL_STYLE), plain | win32::TTS_BALLOON);
  tips.SetStyle(1);
  tips.SetStyle(1);
  EXPECT_EQ(win32::GetWindowLongA(tips.hWnd(), win32::GWL_STYLE), plain);
}

TEST_F(ToolTip, AToolShowsItsTipUntilItIsRemovedByItsHandle) {
  TestForm form;
  rt::CommandButton button(form, "cmdTest");
  form.Show();
  cToolTip tips;
  tips.SetStyle(2);
  tips.SetToolTipObj(button.hWnd(), "first line\r\nsecond line");
  win32::ShowTipNow(tips.hWnd(), button.hWnd());
  EXPECT_EQ(win32::ShownTipText(tips.hWnd()), "first line\nsecond line");
  EXPECT_TRUE(win32::ShownTipIsBalloon(tips.hWnd()));
  // adding the same tool again keeps one tool, with the new text
  tips.SetToolTipObj(button.hWnd(), "again");
  win32::ShowTipNow(tips.hWnd(), button.hWnd());
  EXPECT_EQ(win32::ShownTipText(tips.hWnd()), "again");
  // item 0 names no tool of this kind: nothing goes
  tips.DelToolTip(button.hWnd());
  win32::ShowTipNow(tips.hWnd(), button.hWnd());
  EXPECT_EQ(win32::ShownTipText(tips.hWnd()), "again");
  tips.DelToolTip(button.hWnd(), -1);
  win32::ShowTipNow(tips.hWnd(), button.hWnd());
  EXPECT_EQ(win32::ShownTipText(tips.hWnd()), "");
}

TEST_F(ToolTip, TheTipComesAfterTheDelayWhenTheMouseRests) {
  TestForm form;
  rt::CommandButton button(form, "cmdTest");
  form.Show();
  cToolTip tips;
  tips.SetDelayTime(30);
  tips.SetToolTipObj(button.hWnd(), "resting");
  QEvent enter(QEvent::Enter);
  QCoreApplication::sendEvent(button.Widget(), &enter);
  EXPECT_EQ(win32::ShownTipText(tips.hWnd()), "");
  for (int i = 0; i < 100 && win32::ShownTipText(tips.hWnd()).empty(); ++i) rt::DoEventsWaiting(10);
  EXPECT_EQ(win32::ShownTipText(tips.hWnd()), "resting");
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(button.Widget(), &leave);
  EXPECT_EQ(win32::ShownTipText(tips.hWnd()), "");
}

TEST_F(ToolTip, ReleasingTheObjectDestroysItsWindow) {
  long window = 0;
  {
    cToolTip tips;
    window = tips.hWnd();
    EXPECT_NE(rt::WidgetOf(window), nullptr);
  }
  EXPECT_EQ(rt::WidgetOf(window), nullptr);
}

TEST_F(ToolTip, ALongLineWrapsAtTheTipWidthAndACentredTipStandsBelowTheMiddleOfItsTool) {
  TestForm form;
  form.Move(4500, 3000);
  form.SetWidth(4500);
  form.SetHeight(3000);
  rt::CommandButton button(form, "cmdTest");
  button.Move(600, 600, 1500, 450);
  form.Show();
  cToolTip tips;
  tips.SetStyle(2);
  const std::string line = "one two three four five six seven eight nine ten";
  tips.SetToolTipObj(button.hWnd(), line, true);
  QWidget* tip = rt::WidgetOf(tips.hWnd());
  ASSERT_NE(tip, nullptr);

  tips.SetTipWidth(1000);
  win32::ShowTipNow(tips.hWnd(), button.hWnd());
  ASSERT_EQ(win32::ShownTipText(tips.hWnd()), line);
  const QRect wide = tip->frameGeometry();
  EXPECT_GT(wide.width(), 150);

  tips.SetTipWidth(100);
  win32::ShowTipNow(tips.hWnd(), button.hWnd());
  const QRect narrow = tip->frameGeometry();
  EXPECT_LE(narrow.width(), 100 + 20);  // the text and the balloon's margins
  EXPECT_GT(narrow.height(), wide.height());

  const QWidget* tool = button.Widget();
  const QPoint middleBelow = tool->mapToGlobal(QPoint(tool->width() / 2, tool->height()));
  for (const QRect& shown : {wide, narrow}) {
    EXPECT_NEAR(shown.left() + shown.width() / 2.0, middleBelow.x(), 1.5);
    EXPECT_NEAR(shown.top(), middleBelow.y(), 2);
  }
}
