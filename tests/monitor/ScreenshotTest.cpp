// Pictures of the windows for a person to look at: written only when TOLLERWICK_SCREENSHOTS names a folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmMessage.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Events.h"
#include "platform/win32/User.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/HttpPeer.h"
#include "tests/peers/SmtpPeer.h"
#include "windows/frmAbout.h"
#include "windows/frmBrowser.h"
#include "windows/frmOptions.h"

class Screenshots : public MonitorSandbox {};

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
