// The main window's scheduler and update cycle, and the news and banner refresh and rotation.

#include <algorithm>
#include <cmath>
#include <string>

#include "library/ErrorTrap.h"
#include "library/Servers.h"
#include "library/VYK_File_Dir.h"
#include "library/VYK_Internet.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Strings.h"

using namespace Tollerwick_Sub;

namespace {

constexpr double kNewsInterval = 43200;  // seconds: news and banner at most every 12 hours

// Times of day are compared in whole seconds: 16:30:00.6 is still 16:30:00. The clock's reading is taken
// to the millisecond first, so that a moment stored as a fraction of a day does not fall a second short.
long TimeOfDay() {
  return static_cast<long>(std::floor(std::round(rt::SecondsOfDay() * 1000.0) / 1000.0));
}

// A picture name from the banner list names a picture file of the download folder, and no other file: not
// one in another folder, not a hidden one, and none of the program's own files there (the ticker file, the
// lists, the quote pages), which all end otherwise than a picture.
void CheckPictureName(const std::string& name) {
  static const char* const kPictureEndings[] = {".bmp", ".dib", ".gif", ".jpg", ".jpeg", ".png", ".ico", ".cur"};
  bool picture = false;
  const std::string lower = rt::LCase(name);
  for (const char* ending : kPictureEndings) {
    const std::string e = ending;
    picture = picture || (lower.size() > e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0);
  }
  bool plain = !name.empty() && name[0] != '.';
  for (const char c : name)
    plain = plain && c != '/' && c != '\\' && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F;
  if (picture && plain) return;
  std::string shown = name.substr(0, 200);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  rt::Raise(rt::errBadFileNumber, "Bad banner picture name: " + shown);
}

}  // namespace

void frmMain_Tollerwick::TimerRT_Timer() {
  HandlerTrap("TimerRT_Timer of Formular frmMain_Tollerwick")([&] {
    const long now = TimeOfDay();
    if (rt::CDbl(chkShutdown) != 0) {
      const long stop = ClockTime(txtStopTime);
      if (now > stop && now < stop + 5) {
        mnuExit_Click();
        return;
      }
    }
    StatusText.clear();
    if (VYK_Internet::ViaLAN()) StatusText += "  Connection via Lan --";
    if (VYK_Internet::ViaModem()) StatusText += "  Connection via Modem --";
    StatusText += VYK_Internet::Online() ? "  online" : " offline";
    if (chkAutoUpdate != 0) {
      sbStatusBar.SetPanelText(1, StatusText + "  --  Download scheduled");
      if (!VYK_Internet::Online() && chkUpdateIfOnline == 1) {
        sbStatusBar.SetPanelText(1, StatusText + "  --  Download scheduled for next online connection");
      } else if (now < ClockTime(txtStartTime) || now > ClockTime(txtStopTime)) {
        sbStatusBar.SetPanelText(1, StatusText + "  --  Download suspended");
      } else if (LastUpdateTime == 0 || rt::SecondsClock() - LastUpdateTime >= rt::CDbl(txtUpdateInterval) * 60) {
        if (chkAutoUpdate == 1) {
          sbStatusBar.SetPanelText(1, StatusText + "  --  Download in Progress");
          cmdUpdateRT_Click();
        }
        rt::DoEvents();
      }
    } else {
      sbStatusBar.SetPanelText(1, StatusText + "  --  Download disabled");
    }
  });
}

void frmMain_Tollerwick::chkRT_Click() {
  HandlerTrap("chkRT_Click of Formular frmMain_Tollerwick")([&] {
    if (chkRT.Value() == 1) {
      chkAutoUpdate = 1;
      LastUpdateTime = 0;
    } else {
      chkRT.SetValue(0);
      chkAutoUpdate = 0;
    }
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::cmdUpdateRT_Click() {
  // Each statement that fails is logged and the cycle goes on, so the window always leaves its busy state.
  Trap trap{"cmdUpdateRT_Click of Formular frmMain_Tollerwick"};
  trap([&] {
    if (optConnection == 1) {
      InetRealtime1.SetProxy(txtProxyServer + ":" + txtProxyPort);
      InetRealtime1.SetAccessType(2);
    } else {
      InetRealtime1.SetAccessType(0);
    }
  });
  trap([&] { cmdUpdateRT.SetEnabled(false); });
  trap([&] { cmdAddTicker.SetEnabled(false); });
  trap([&] { cmdDeleteTicker.SetEnabled(false); });
  trap([&] { cmdUpdateRT.SetCaption("downloading ...."); });
  trap([&] { SetMousePointer(rt::pointerArrowHourglass); });
  trap([&] { TimerRT.SetEnabled(false); });
  trap([&] { sbStatusBar.SetPanelText(1, StatusText + "  --  Download in Progress"); });
  trap([&] { InetRealtime1.SetUserName(""); });
  trap([&] { InetRealtime1.SetPassword(""); });

  trap([&] {
    if (ForceNewsDownload || rt::SecondsClock() - LastNewsTime >= kNewsInterval) {
      ForceNewsDownload = false;
      LastNewsTime = rt::SecondsClock();
      RefreshNews();
    }
  });
  trap([&] { RotateBanner(); });

  long rows = 0;
  trap([&] { rows = FG3.Rows(); });
  for (int row = 1; row < rows; ++row) {
    bool tickerRow = false;
    trap([&] { tickerRow = FG3.TextMatrix(row, 0).empty(); });
    if (!tickerRow) continue;
    trap([&] {
      FG3.SetRow(row);
      FG3.SetCol(0);
      FG3.SetCellPicture(BitmapPath("download.bmp"));
    });
    std::string ticker, provider;
    trap([&] { ticker = FG3.TextMatrix(row, 2); });
    trap([&] { provider = FG3.TextMatrix(row, 13); });
    trap([&] {
      if (provider == "1") {
        cmdUpdateRT1(row, ticker);
      } else if (provider == "2") {
        cmdUpdateRT2(row, ticker);
      } else {
        rt::MsgBox(std::string("Data provider not defined or supported.") + rt::vbCrLf +
                       "Tollerwick will try the Ticker Symbol" + rt::vbCrLf + "with data provider Yahoo.",
                   rt::mbOkOnly, rt::App.Title);
        cmdUpdateRT1(row, ticker);
      }
    });
  }

  trap([&] { LastUpdateTime = rt::SecondsClock(); });
  trap([&] { cmdUpdateRT.SetEnabled(true); });
  trap([&] { chkRT.SetEnabled(true); });
  trap([&] { cmdAddTicker.SetEnabled(true); });
  trap([&] { cmdDeleteTicker.SetEnabled(true); });
  trap([&] { cmdUpdateRT.SetCaption("Update Realtime Data"); });
  trap([&] { SetMousePointer(rt::pointerDefault); });
  trap([&] { TimerRT.SetEnabled(true); });
  trap([&] { rt::DoEvents(); });
}

void frmMain_Tollerwick::RefreshNews() {
  Trap trap{"cmdUpdateRT_Click of Formular frmMain_Tollerwick"};
  trap([&] {
    if (ChkProgramUpdate == 1) VYK_Internet::ChkNewVersion();
  });

  // A list is stored as downloaded; a failed download leaves the stored file empty.
  auto download = [&](const std::string& path, const std::string& file) {
    int f = 0;
    trap([&] {
      InetRealtime1.SetURL(Servers::Url("MakerHome", path));
      InetRealtime1.SetProtocol(4);
      f = rt::FreeFile();
      rt::Open(DownloadPath(file), rt::OpenMode::Output, f);
    });
    trap([&] { rt::Print(f, {InetRealtime1.OpenURL()}); });
    trap([&] {
      if (f) rt::Close(f);
    });
  };

  download("/vyk/bin/Banner100.vyk", "Banner100.vyk");
  int f = 0;
  trap([&] {
    f = rt::FreeFile();
    rt::Open(DownloadPath("Banner100.vyk"), rt::OpenMode::Input, f);
  });
  trap([&] {
    if (!f || rt::Lof(f) == 0) return;
    if (rt::Left(rt::LineInput(f), 3) != "vyk") return;
    // the table holds 24 banners: a longer list is cut there
    BannerCount = std::min<int>(rt::CInt(rt::LineInput(f)), static_cast<int>(BannerTable.size()));
    for (int i = 0; i < BannerCount; ++i) {
      BannerTable[i].picture = rt::LineInput(f);
      BannerTable[i].link = rt::LineInput(f);
    }
  });
  trap([&] {
    if (f) rt::Close(f);
  });

  download("/vyk/bin/News100.vyk", "News100.vyk");
  trap([&] { Load_News(); });
}

void frmMain_Tollerwick::RotateBanner() {
  Trap trap{"cmdUpdateRT_Click of Formular frmMain_Tollerwick"};
  const int shown = BannerIndex;
  std::string name;
  trap([&] { name = BannerTable.at(static_cast<size_t>(BannerIndex)).picture; });
  if (!name.empty()) {
    std::string picture;
    trap([&] {
      CheckPictureName(name);
      picture = DownloadPath(name);
      std::string existing = picture;
      if (VYK_File_Dir::FileExists(existing)) return;
      InetRealtime1.SetURL(Servers::Url("MakerHome", "/vyk/images/Banner/" + name));
      const std::string bytes = InetRealtime1.OpenURL();
      // An error reply is no picture: nothing is stored, and the next rotation asks again.
      if (bytes.empty() || InetRealtime1.ResponseCode() >= 400)
        rt::Raise(rt::errFileNotFound,
                  "Banner picture not received (HTTP " + std::to_string(InetRealtime1.ResponseCode()) + "): " + name);
      const int f = rt::FreeFile();
      rt::Open(picture, rt::OpenMode::Output, f);
      rt::PutBytes(f, bytes);
      rt::Close(f);
    });
    Skip([&] {
      Image2.LoadPicture(picture);
      BannerOnShow = shown;
    });
    Skip([&] { BannerIndex = BannerIndex + 1; });
    Skip([&] { RtbNews1.SetText(NewsTable.at(static_cast<size_t>(NewsIndex))); });
    Skip([&] { NewsIndex = NewsIndex + 1; });
  }
  if (BannerIndex >= BannerCount) BannerIndex = 0;
  if (NewsIndex >= NewsCount) NewsIndex = 0;
}

void frmMain_Tollerwick::Image2_Click() {
  HandlerTrap("Image2_Click of Formular frmMain_Tollerwick")([&] {
    OpenPage(BannerTable.at(static_cast<size_t>(BannerOnShow)).link);
    rt::DoEvents();
  });
}
