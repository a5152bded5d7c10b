#include "windows/frmSplash.h"

#include <algorithm>
#include <cmath>

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"

namespace {
constexpr long kBackground = 0xFFFFFF;
constexpr long kTitleColor = 0x3A7A1F;   // the green of the splash picture
constexpr long kShadowColor = 0xC8C8C8;
constexpr double kWaitSeconds = 3;
}  // namespace

frmSplash::frmSplash() : rt::Form("frmSplash") {}

void frmSplash::Design() {
  DesignSize(7200, 4080);
  SetBorderStyle(0);
  SetCaption(rt::App.Title);
  SetBackColor(kBackground);

  const std::string bitmaps = VYK_File_Dir::sFixDirString(rt::App.Path()) + "../Common/bitmap/";
  Image1.Move(300, 300, 1800, 1800);
  Skip([&] { Image1.LoadPicture(bitmaps + "splash.bmp"); });
  Image1.SetStretch(true);

  // each title stands on a grey copy of itself, a little down and to the right
  for (rt::Label* l : {&lblTitel2, &lblTitle}) {
    const bool shadow = l == &lblTitel2;
    l->Move(shadow ? 2430 : 2400, shadow ? 330 : 300, 4500, 720);
    l->SetFontName("Bookman Old Style");
    l->SetFontSize(26);
    l->SetFontBold(true);
    l->SetForeColor(shadow ? kShadowColor : kTitleColor);
  }
  for (rt::Label* l : {&lblVersion2, &lblVersion}) {
    const bool shadow = l == &lblVersion2;
    l->Move(shadow ? 2415 : 2400, shadow ? 1065 : 1050, 4500, 360);
    l->SetFontName("Bookman Old Style");
    l->SetFontSize(12);
    l->SetForeColor(shadow ? kShadowColor : 0x404040);
  }
  struct Line {
    rt::Label& label;
    const char* caption;
    double top;
  };
  for (const Line& line : {Line{lblUserID, "UserID", 1650}, Line{lblCompanyID, "CompanyID", 1950},
                           Line{Label3, "You have used this application", 2400},
                           Line{lblUseCounter, "1 times", 2700}}) {
    line.label.Move(2400, line.top, 4500, 285);
    line.label.SetFontName("Arial");
    line.label.SetFontSize(9);
    line.label.SetCaption(line.caption);
  }
  lblUseCounter.SetFontBold(true);
  AniGIF1.Move(300, 3180, 480, 480);
  Skip([&] { AniGIF1.LoadAnimation(bitmaps + "loading.gif"); });
  Label2.Move(900, 3300, 3000, 285);
  Label2.SetFontName("Arial");
  Label2.SetFontSize(9);
  Label2.SetCaption("loading ...");
  ProgressBar1.Move(300, 3750, 6600, 180);
  ProgressBar1.SetMin(0);
  ProgressBar1.SetMax(100);
  ProgressBar1.SetValue(0);
}

void frmSplash::Form_Load() {
  using namespace VYK_GetSystemInfos;
  Trap trap{"Form_Load of Formular frmSplash"};
  trap([&] { Move((rt::ScreenWidth() - Width()) / 2, (rt::ScreenHeight() - Height()) / 2); });
  trap([&] { lblUserID.SetCaption(UserID); });
  trap([&] { lblCompanyID.SetCaption(CompanyID); });

  const std::string app = "VYK\\" + RegAppName + "\\" + UserID;
  long count = 0;
  trap([&] { count = rt::CLng(VYK_Registry::GetRegSetting(app, "Settings", "UseCounter", 0L)); });
  count += 1;
  trap([&] { VYK_Registry::SaveRegSetting(app, "Settings", "UseCounter", count); });
  trap([&] { lblUseCounter.SetCaption(std::to_string(count) + " times"); });

  const std::string version = "v. " + std::to_string(rt::App.Major) + "." + std::to_string(rt::App.Minor) + "." +
                              std::to_string(rt::App.Revision);
  trap([&] { lblVersion.SetCaption(version); });
  trap([&] { lblVersion2.SetCaption(version); });
  trap([&] { lblTitle.SetCaption(rt::App.ProductName); });
  trap([&] { lblTitel2.SetCaption(rt::App.ProductName); });

  // The wait counts on the clock that goes on across midnight, from a start rounded to the whole second.
  double start = 0;
  trap([&] { Show(); });
  trap([&] { start = std::round(rt::SecondsClock()); });
  trap([&] { rt::DoEvents(); });
  trap([&] { Refresh(); });
  trap([&] { rt::DoEvents(); });
  double elapsed = 0;
  while (elapsed < kWaitSeconds) {
    trap([&] { rt::DoEventsWaiting(); });
    trap([&] {
      const long range = ProgressBar1.Max() - ProgressBar1.Min();
      const double done = std::clamp(elapsed / kWaitSeconds, 0.0, 1.0);
      ProgressBar1.SetValue(ProgressBar1.Min() + static_cast<long>(range * done));
    });
    const double now = rt::SecondsClock();
    elapsed = now - start;
    if (elapsed < -1) elapsed = kWaitSeconds;  // a clock set back: do not wait on it
  }
  trap([&] { ProgressBar1.SetValue(ProgressBar1.Max()); });
  Tollerwick_Main::SplashRunning = false;
  trap([&] { rt::DoEvents(); });
}
