#include <gtest/gtest.h>

#include <QLabel>
#include <QMovie>
#include <QPointer>

#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "tests/monitor/MonitorSandbox.h"
#include "windows/frmSplash.h"

class Splash : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    VYK_GetSystemInfos::RegAppName = "Brennavale";
    VYK_GetSystemInfos::GetPCInfos();
  }
  // Shows the splash as Main does and returns how long (on the program's clock) it stayed.
  double ShowSplash() {
    Tollerwick_Main::SplashRunning = true;
    const double start = rt::SecondsClock();
    rt::Default<frmSplash>().Show();
    const double shown = rt::SecondsClock() - start;
    EXPECT_FALSE(Tollerwick_Main::SplashRunning);
    return shown;
  }
  std::string CounterPath() const { return "VYK\\Brennavale\\" + VYK_GetSystemInfos::UserID; }
};

TEST_F(Splash, CountsTheStartsOfThisUser) {
  ShowSplash();
  frmSplash& s = rt::Default<frmSplash>();
  EXPECT_EQ(s.lblUseCounter.Caption(), "1 times");
  EXPECT_EQ(VYK_Registry::GetRegSetting(CounterPath(), "Settings", "UseCounter", 0L), rt::Variant(1L));
  EXPECT_EQ(s.lblUserID.Caption(), VYK_GetSystemInfos::UserID);
  EXPECT_EQ(s.lblCompanyID.Caption(), "NONE");
  EXPECT_EQ(s.lblVersion.Caption(), "v. 3.7.4");
  EXPECT_EQ(s.lblTitle.Caption(), "Brennavale");
  EXPECT_EQ(s.ProgressBar1.Value(), s.ProgressBar1.Max());
  EXPECT_NEAR(s.Left(), (rt::ScreenWidth() - s.Width()) / 2, rt::TwipsPerPixelX());
  EXPECT_NEAR(s.Top(), (rt::ScreenHeight() - s.Height()) / 2, rt::TwipsPerPixelY());
  s.Unload();

  VYK_Registry::SaveRegSetting(CounterPath(), "Settings", "UseCounter", 9L);
  ShowSplash();
  EXPECT_EQ(s.lblUseCounter.Caption(), "10 times");
}

TEST_F(Splash, ACounterThatIsNoNumberStartsAgainAtOne) {
  VYK_Registry::SaveRegSetting(CounterPath(), "Settings", "UseCounter", std::string("many"));
  ShowSplash();
  EXPECT_EQ(rt::Default<frmSplash>().lblUseCounter.Caption(), "1 times");
  EXPECT_EQ(VYK_Registry::GetRegSetting(CounterPath(), "Settings", "UseCounter", 0L), rt::Variant(1L));
  EXPECT_NE(ErrorLog().find("Form_Load of Formular frmSplash  0  13  Type mismatch"), std::string::npos);
}

// An animation nobody sees would wake the program ten times a second, long after the splash has gone.
TEST_F(Splash, ItsAnimationRunsOnlyWhileTheSplashIsShown) {
  ShowSplash();
  frmSplash& s = rt::Default<frmSplash>();
  auto movie = [&] { return static_cast<QLabel*>(s.AniGIF1.Widget())->movie(); };
  QPointer<QMovie> shown = movie();
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->state(), QMovie::Running);

  s.Hide();
  EXPECT_NE(shown->state(), QMovie::Running);
  s.Show();
  EXPECT_EQ(shown->state(), QMovie::Running);
  s.AniGIF1.SetVisible(false);
  EXPECT_NE(shown->state(), QMovie::Running);
  s.AniGIF1.SetVisible(true);
  EXPECT_EQ(shown->state(), QMovie::Running);

  s.Unload();
  if (shown) {
    EXPECT_NE(shown->state(), QMovie::Running);
  }
}

// The clock runs five times as fast here; the work before the wait, and a loaded machine, add a little to
// what is measured: the bound above catches a wait that runs on, not a late tick.
TEST_F(Splash, StaysBetweenTwoAndAHalfAndThreeAndAHalfSeconds) {
  rt::testing::SetRate(5);
  for (double startSecond : {0.0, 0.4, 0.6}) {
    rt::testing::SetNow(rt::DateTime{rt::DateSerial(2026, 12, 7).serial + (36000 + startSecond) / 86400.0});
    rt::testing::SetRate(5);
    const double shown = ShowSplash();
    EXPECT_GE(shown, 2.5) << startSecond;
    EXPECT_LE(shown, 4.5) << startSecond;
    rt::Default<frmSplash>().Unload();
  }
}

TEST_F(Splash, TheWaitIsNotChangedByMidnight) {
  rt::testing::SetNow(rt::DateTime{rt::DateSerial(2026, 12, 7).serial + (86400 - 1.2) / 86400.0});
  rt::testing::SetRate(5);
  const double shown = ShowSplash();
  EXPECT_GE(shown, 2.5);
  EXPECT_LE(shown, 4.5);
  EXPECT_EQ(rt::Day(rt::Now()), 8);
}
