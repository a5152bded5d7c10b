// Pictures of the windows for a person to look at: written only when TOLLERWICK_SCREENSHOTS names a folder.
// TOLLERWICK_SCREENSHOTS_LOOK gives the desktop another look first: "dark" a dark palette, "large" a larger
// font of another family, as a desktop theme gives them to the program.

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <string>

#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmMessage.h"
#include "monitor/frmScrollTicker.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Events.h"
#include "platform/win32/User.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/HttpPeer.h"
#include "tests/peers/SmtpPeer.h"
#include "windows/frmAbout.h"
#include "windows/frmBrowser.h"
#include "windows/frmOptions.h"
#include "windows/frmSplash.h"

class Screenshots : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    const char* look = std::getenv("TOLLERWICK_SCREENSHOTS_LOOK");
    if (look && std::string(look) == "large") QApplication::setFont(QFont(QStringLiteral("DejaVu Serif"), 13));
    if (look && std::string(look) == "dark") {
      QPalette dark(QColor(0xfc, 0xfc, 0xfc), QColor(0x31, 0x36, 0x3b), QColor(0x4c, 0x54, 0x5c),
                    QColor(0x18, 0x1b, 0x1d), QColor(0x25, 0x29, 0x2c), QColor(0xfc, 0xfc, 0xfc),
                    QColor(0xff, 0xff, 0xff), QColor(0x1b, 0x1e, 0x20), QColor(0x2a, 0x2e, 0x32));
      QApplication::setPalette(dark);
    }
  }
  void TearDown() override {
    QApplication::setFont(font_);
    QApplication::setPalette(palette_);
    MonitorSandbox::TearDown();
  }

 private:
  QFont font_ = QApplication::font();
  QPalette palette_ = QApplication::palette();
};

TEST_F(Screenshots, SplashAndStrip) {
  const char* folder = std::getenv("TOLLERWICK_SCREENSHOTS");
  if (!folder) GTEST_SKIP() << "no screenshot folder";
  WriteFile(home + "/download/TickerSettings.vyk",
            "\"MSFT\",\"250\",\"100\",\"1\",\"12/6/2026 10:58:58 PM\"\r\n\"IBM\",\"\",\"\",\"2\",\"00:00:00\"\r\n");
  ASSERT_TRUE(RunMain());
  Tollerwick_Main::MainForm->chkScrollingTicker.SetValue(1);
  rt::Default<frmScrollTicker>().Window()->grab().save(QString(folder) + "/strip.png");
  // the grid scrolled to its last columns
  QWidget* grid = Tollerwick_Main::MainForm->FG3.Widget();
  auto* area = qobject_cast<QAbstractScrollArea*>(grid);
  if (!area) area = grid->findChild<QAbstractScrollArea*>();
  ASSERT_TRUE(area);
  area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
  Tollerwick_Main::MainForm->Window()->grab().save(QString(folder) + "/main-right.png");
  Tollerwick_Main::SplashRunning = true;
  rt::Default<frmSplash>().Show();
  rt::Default<frmSplash>().Window()->grab().save(QString(folder) + "/splash.png");
}

TEST_F(Screenshots, BalloonTipOverTheMainWindow) {
  const char* folder = std::getenv("TOLLERWICK_SCREENSHOTS");
  if (!folder) GTEST_SKIP() << "no screenshot folder";
  ASSERT_TRUE(RunMain());
  Tollerwick_Main::MainForm->chkTooltip.SetValue(1);
  const long tips = Tollerwick_Sub::BalloonTips->hWnd();
  win32::ShowTipNow(tips, Tollerwick_Main::MainForm->cmdFindTicker.hWnd());
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && (w->windowFlags() & Qt::ToolTip) == Qt::ToolTip) w->grab().save(QString(folder) + "/tip.png");
  Tollerwick_Main::MainForm->Window()->grab().save(QString(folder) + "/main.png");
}

TEST_F(Screenshots, AboutWindow) {
  const char* folder = std::getenv("TOLLERWICK_SCREENSHOTS");
  if (!folder) GTEST_SKIP() << "no screenshot folder";
  ASSERT_TRUE(RunMain());
  frmAbout& about = rt::Default<frmAbout>();
  about.Show();
  about.Window()->grab().save(QString(folder) + "/about.png");
  about.Unload();
}

TEST_F(Screenshots, OptionsDialogTabs) {
  const char* folder = std::getenv("TOLLERWICK_SCREENSHOTS");
  if (!folder) GTEST_SKIP() << "no screenshot folder";
  ASSERT_TRUE(RunMain());
  // long values show their start
  Tollerwick_Sub::txtToSMSAddress = "01712345678901234567@sms-gateway.example";
  Tollerwick_Sub::txtEmailServer = "smtp.mail-provider-with-a-long-name.example";
  frmOptions& options = rt::Default<frmOptions>();
  options.Show();
  for (int tab = 0; tab < options.SSTab1.Tabs(); ++tab) {
    options.SSTab1.SetTab(tab);
    options.Window()->grab().save(QString(folder) + "/options" + QString::number(tab) + ".png");
  }
  options.Unload();
}

TEST_F(Screenshots, MessageWindowWithALongMailError) {
  const char* folder = std::getenv("TOLLERWICK_SCREENSHOTS");
  if (!folder) GTEST_SKIP() << "no screenshot folder";
  ASSERT_TRUE(RunMain());
  peers::SmtpServer server;
  server.Answer("rcpt to", {{"550-5.1.1 <fred.miller@example.net>: Recipient address rejected: User unknown in "
                             "virtual mailbox table"},
                            {"550 5.1.1 Please check the address and try again"}});
  rt::testing::SetRate(100);
  // the picture is taken while the window waits for "ok"
  bool taken = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    frmMessage& box = rt::Default<frmMessage>();
    if (taken || !box.IsLoaded() || !box.Visible() || !box.Window()->isModal()) return;
    taken = true;
    box.Window()->grab().save(QString(folder) + "/message.png");
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString(folder) + "/message-screen.png");
    box.Command1.PerformClick();
  });
  watch.start(200);
  Tollerwick_Main::MainForm->SendEmail(server.Name(), "Fred", "fred@example.org", "Fred Miller",
                                       "fred.miller@example.net", "MSFT = 250.10 / exceeded High Limit", "news");
  EXPECT_TRUE(taken);
}

TEST_F(Screenshots, MessageWindowWithAnAlarm) {
  const char* folder = std::getenv("TOLLERWICK_SCREENSHOTS");
  if (!folder) GTEST_SKIP() << "no screenshot folder";
  ASSERT_TRUE(RunMain());
  frmMessage& message = rt::Default<frmMessage>();
  message.SetCaption("MSFT Alarm");
  message.lblMessage.SetCaption("MSFT is over High Limit !");
  message.Show(0, Tollerwick_Main::MainForm);
  message.Window()->grab().save(QString(folder) + "/message-alarm.png");
  message.Unload();
}

TEST_F(Screenshots, BrowserWindow) {
  const char* folder = std::getenv("TOLLERWICK_SCREENSHOTS");
  if (!folder) GTEST_SKIP() << "no screenshot folder";
  ASSERT_TRUE(RunMain());
  peers::HttpServer server([](const std::string&) -> std::optional<std::string> {
    return peers::Reply(200, "OK", "<html><body><h1>Chart</h1><p>A page of the chart site.</p></body></html>",
                        "Content-Type: text/html\r\n");
  });
  frmBrowser& browser = rt::Default<frmBrowser>();
  browser.StartingAddress2 = server.Base() + "/chart";
  browser.SetWindowState(rt::stateNormal);
  browser.Show();
  for (int i = 0; i < 1000 && browser.Caption() != "DurivEraz Uzoduz"; ++i) rt::DoEventsWaiting(10);
  // the page draws a moment after it has loaded
  for (int i = 0; i < 50; ++i) rt::DoEventsWaiting(10);
  browser.Window()->grab().save(QString(folder) + "/browser.png");
  browser.Unload();
}
