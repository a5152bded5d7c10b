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
#include "platform/win32/User.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/SmtpPeer.h"
#include "windows/frmAbout.h"
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
