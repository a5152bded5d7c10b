#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QVariantAnimation>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "library/VYK_API.h"
#include "library/VYK_ErrorLog.h"
#include "library/VYK_GetSystemInfos.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Launch.h"
#include "platform/runtime/Registry.h"
#include "platform/win32/Shell.h"
#include "tests/monitor/MonitorSandbox.h"

using Tollerwick_Main::MainForm;

class Tray : public MonitorSandbox {
 protected:
  // a desktop with a notification area, unless a test says otherwise
  void SetUp() override {
    MonitorSandbox::SetUp();
    win32::testing::SetTrayAvailable(true);
  }
  void TearDown() override {
    win32::testing::SetTrayAvailable(std::nullopt);
    MonitorSandbox::TearDown();
  }
  long Proc() { return win32::GetWindowLongA(MainForm->hWnd(), win32::GWL_WNDPROC); }
  long OwnProc() { return reinterpret_cast<long>(&win32::DefWindowProcA); }
  bool IconShown() { return win32::testing::TrayIconShown(MainForm->hWnd(), rt::App.hInstance()); }
  // the icon must outlive its own signal: the desktop's code goes on using it
  void DoubleClickIcon() {
    EXPECT_TRUE(win32::testing::ClickTrayIcon(MainForm->hWnd(), rt::App.hInstance(), win32::WM_LBUTTONDBLCLK));
  }
};

TEST_F(Tray, TheWindowGoesToTheTrayAndComesBackByADoubleClickTwice) {
  ASSERT_TRUE(RunMain());
  for (int trip = 0; trip < 2; ++trip) {
    MainForm->cmdSetTray_Click();
    EXPECT_FALSE(MainForm->Visible());
    EXPECT_TRUE(IconShown());
    EXPECT_EQ(win32::testing::TrayIconTip(MainForm->hWnd(), rt::App.hInstance()), "Tollerwick");
    EXPECT_NE(Proc(), OwnProc());
    // a message for another icon passes straight through
    win32::SendMessageA(MainForm->hWnd(), 0x40F, 12345, win32::WM_LBUTTONDBLCLK);
    EXPECT_FALSE(MainForm->Visible());
    DoubleClickIcon();
    EXPECT_TRUE(MainForm->Visible());
    EXPECT_FALSE(IconShown());
    EXPECT_EQ(Proc(), OwnProc()) << "trip " << trip;
  }
}

// The frame drawn from the window to the notification area and back: where it starts and where it goes.
TEST_F(Tray, TheWindowsWayToTheNotificationAreaAndBackIsDrawn) {
  const auto animations = [] {
    std::vector<std::pair<QRect, QRect>> drawn;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* move = w->findChild<QVariantAnimation*>(QString(), Qt::FindDirectChildrenOnly); move && w->isVisible())
        drawn.push_back({move->startValue().toRect(), move->endValue().toRect()});
    return drawn;
  };
  const QRect area(1100, 990, 180, 34);
  win32::testing::SetNotificationArea(win32::RECT{area.left(), area.top(), area.right() + 1, area.bottom() + 1});
  ASSERT_TRUE(RunMain());
  const QRect window = MainForm->Window()->frameGeometry();
  MainForm->cmdSetTray_Click();
  EXPECT_EQ(animations(), (std::vector<std::pair<QRect, QRect>>{{window, area}}));
  MainForm->mnuShow_Click();
  const auto back = animations();
  EXPECT_NE(std::find(back.begin(), back.end(), std::make_pair(area, window)), back.end());
  // a desktop without a notification area: nothing is drawn
  win32::testing::SetNotificationArea(win32::RECT{});
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->findChild<QVariantAnimation*>(QString(), Qt::FindDirectChildrenOnly)) delete w;
  MainForm->cmdSetTray_Click();
  EXPECT_TRUE(animations().empty());
  MainForm->mnuShow_Click();
  win32::testing::SetNotificationArea(std::nullopt);
}

TEST_F(Tray, ShowFromTheMenuBringsTheWindowBack) {
  ASSERT_TRUE(RunMain());
  MainForm->cmdSetTray_Click();
  MainForm->mnuShow_Click();
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_FALSE(IconShown());
  EXPECT_EQ(Proc(), OwnProc());
}

TEST_F(Tray, ARightClickOpensThePopupMenuWhoseShowRestores) {
  ASSERT_TRUE(RunMain());
  MainForm->cmdSetTray_Click();
  QStringList items;
  QTimer::singleShot(100, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* a : menu->actions()) items << a->text();
    for (QAction* a : menu->actions())
      if (a->text() == "&Show") menu->setActiveAction(a);
    for (QAction* a : menu->actions())
      if (a->text() == "&Show") {
        menu->close();
        a->trigger();
      }
  });
  EXPECT_TRUE(win32::testing::ClickTrayIcon(MainForm->hWnd(), rt::App.hInstance(), win32::WM_RBUTTONDOWN));
  EXPECT_EQ(items, (QStringList{"&Show", "&Options", "&Exit"}));
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_FALSE(IconShown());
}

TEST_F(Tray, StartingInTheTrayHidesTheWindowBeforeTheTableIsBuilt) {
  VYK_GetSystemInfos::RegAppName = "Brennavale";
  VYK_GetSystemInfos::GetPCInfos();
  rt::SaveSetting(UserApp(), "Settings", "chkStartInTray", "1");
  // what the table held when the window went: still as designed, without the headings of the built table
  struct WatchHiding : QObject {
    std::optional<std::string> heading;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Hide && MainForm && watched == MainForm->Window() && !heading)
        heading = MainForm->FG3.TextMatrix(0, 2);
      return false;
    }
  } watch;
  qApp->installEventFilter(&watch);
  const bool returned = RunMain();
  qApp->removeEventFilter(&watch);
  ASSERT_TRUE(returned);
  ASSERT_TRUE(watch.heading.has_value()) << "the window was not hidden";
  EXPECT_EQ(*watch.heading, "");
  EXPECT_FALSE(MainForm->Visible());
  EXPECT_TRUE(IconShown());
  EXPECT_EQ(MainForm->FG3.Rows(), 3);
  EXPECT_EQ(MainForm->FG3.TextMatrix(0, 2), "Ticker");
  DoubleClickIcon();
  EXPECT_TRUE(MainForm->Visible());
}

// The error label clicked as the user does. With no program to open the log (the desktop has no opener) the
// log says so, and the lamp and the label stay lit; once the log opens, the lamp turns green and the label goes.
TEST_F(Tray, TheErrorLabelTurnsTheLampGreenOnlyOnceTheLogOpens) {
  ASSERT_TRUE(RunMain());
  VYK_ErrorLog::WriteErrorLog(true, "Brennavale", "x of Modul y", 0, 5, "test");
  EXPECT_EQ(MainForm->ErrorIndicator.BackColor(), 0x8080FF);
  ASSERT_TRUE(MainForm->lblError.Visible());
  auto clickLabel = [] {
    rt::Label& label = MainForm->lblError;
    QWidget* area = label.FaceContainer();
    const QPoint at = label.FaceRect().center();
    QMouseEvent press(QEvent::MouseButtonPress, at, area->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(area, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, area->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(area, &release);
  };
  const std::string log = VYK_ErrorLog::ErrorLogPath();
  TakeOpened();

  rt::testing::RecordLaunches(false);
  clickLabel();
  EXPECT_EQ(TakeOpened(), std::vector<std::string>{log});
  EXPECT_EQ(MainForm->ErrorIndicator.BackColor(), 0x8080FF);
  EXPECT_TRUE(MainForm->lblError.Visible());
  EXPECT_NE(ErrorLog().find("cmdShowLog_Click of Formular FrmMain  0  53  No program could be started to open " + log +
                            "\r\n"),
            std::string::npos)
      << ErrorLog();

  rt::testing::RecordLaunches(true);
  clickLabel();
  EXPECT_EQ(TakeOpened(), std::vector<std::string>{log});
  EXPECT_EQ(MainForm->ErrorIndicator.BackColor(), 0x00FF00);
  EXPECT_FALSE(MainForm->lblError.Visible());
}

// A cycle past the strip's last entry reports an error for every row, and every report lights the lamp:
// the lamp, lit already, is not drawn again for each.
TEST_F(Tray, TheLitLampIsNotDrawnAgainForEveryReport) {
  ASSERT_TRUE(RunMain());
  VYK_ErrorLog::WriteErrorLog(true, "Brennavale", "x of Modul y", 0, 5, "test");
  ASSERT_EQ(MainForm->ErrorIndicator.BackColor(), 0x8080FF);
  QWidget* area = MainForm->ErrorIndicator.FaceContainer();
  ASSERT_NE(area, nullptr);
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++paints;
      return false;
    }
  } count;
  area->installEventFilter(&count);
  for (int row = 0; row < 50; ++row) {
    VYK_ErrorLog::WriteErrorLog(true, "Brennavale", "AddScrollTicker of Formular frmMain_Tollerwick", 0, 9,
                                "Subscript out of range");
    QCoreApplication::processEvents();
  }
  area->removeEventFilter(&count);
  EXPECT_LE(count.paints, 1);
  EXPECT_EQ(MainForm->ErrorIndicator.BackColor(), 0x8080FF);
}

TEST_F(Tray, WithoutANotificationAreaTheWindowStaysWhereTheUserCanReachIt) {
  win32::testing::SetTrayAvailable(false);
  ASSERT_TRUE(RunMain());
  MainForm->cmdSetTray_Click();
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_FALSE(IconShown());
  EXPECT_EQ(Proc(), OwnProc());
  EXPECT_NE(ErrorLog().find("cmdSetTray_Click of Formular frmMain_Tollerwick  0  5  "), std::string::npos)
      << ErrorLog();
  EXPECT_TRUE(MainForm->lblError.Visible());
}

TEST_F(Tray, StartingInTheTrayWithoutANotificationAreaShowsTheWindow) {
  win32::testing::SetTrayAvailable(false);
  VYK_GetSystemInfos::RegAppName = "Brennavale";
  VYK_GetSystemInfos::GetPCInfos();
  rt::SaveSetting(UserApp(), "Settings", "chkStartInTray", "1");
  ASSERT_TRUE(RunMain());
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_FALSE(IconShown());
  EXPECT_EQ(Proc(), OwnProc());
  EXPECT_EQ(MainForm->FG3.Rows(), 3);
  EXPECT_NE(ErrorLog().find("cmdSetTray_Click of Formular frmMain_Tollerwick"), std::string::npos);
}
