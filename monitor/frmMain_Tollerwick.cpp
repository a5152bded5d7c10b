// The main window: its design, loading, resizing and unloading, and the way out of the program.

#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmScrollTicker.h"

#include <string>
#include <utility>
#include <vector>

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/Tollerwick_Tooltip.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Program.h"
#include "platform/runtime/Registry.h"

namespace {
constexpr long kGreen = 0x00FF00;
constexpr long kRed = 0x0000FF;
// Set when the user asked for the end through an Exit item (the menu bar's or the tray menu's), not the
// scheduler or the desktop session: a save that fails on the way out is then told in a message as well.
bool g_exitByUser = false;
}  // namespace

frmMain_Tollerwick::frmMain_Tollerwick() : rt::Form("frmMain_Tollerwick") {}

void frmMain_Tollerwick::Design() {
  DesignSize(12300, 7860);
  SetCaption(rt::App.Title);
  SetIcon(VYK_File_Dir::sFixDirString(rt::App.Path()) + "../Common/bitmap/up.bmp");

  // ticker table
  FG3.Move(120, 120, 8700, 3480);
  FG3.SetCols(15);
  FG3.SetRows(2);
  FG3.SetFixedRows(1);
  FG3.SetFixedCols(1);
  FG3.SetBackColor(0xFFFFFF);
  FG3.SetGridColor(0xC0FFC0);
  FG3.SetFontName("Arial");
  FG3.SetFontSize(8.25);
  FG3.SetSelectionMode(1);
  FG3.SetFillStyle(1);
  FG3.SetToolTipText("Double Click on Ticker for Intraday Chart");

  struct Caption {
    rt::Label& label;
    const char* text;
    double left;
  };
  for (const Caption& c : {Caption{lblTickerCaption, "Ticker", 120}, Caption{lblHighCaption, "HighLimit", 1770},
                           Caption{lblLowCaption, "LowLimit", 3120}, Caption{lblProviderCaption, "Provider", 4470}}) {
    c.label.Move(c.left, 3690, 1300, 240);
    c.label.SetCaption(c.text);
  }
  txtTicker.Move(120, 3930, 1560, 345);
  txtHigh.Move(1770, 3930, 1260, 345);
  txtLow.Move(3120, 3930, 1260, 345);
  cmbProvider.Move(4470, 3930, 1770, 345);
  cmdAddTicker.Move(6330, 3900, 1170, 390);
  cmdAddTicker.SetCaption("Add Ticker");
  cmdDeleteTicker.Move(7590, 3900, 1230, 390);
  cmdDeleteTicker.SetCaption("Delete Ticker");

  // update, options, tray
  chkRT.Move(9000, 120, 3180, 300);
  chkRT.SetCaption("Auto Update");
  chkRT.SetEnabled(false);
  chkScrollingTicker.Move(9000, 450, 3180, 300);
  chkScrollingTicker.SetCaption("Scrolling Ticker");
  chkAlarmSnd.Move(9000, 780, 3180, 300);
  chkAlarmSnd.SetCaption("Alarm - Sound/Window");
  chkAlarmSnd.SetValue(1);
  chkTooltip.Move(9000, 1110, 3180, 300);
  chkTooltip.SetCaption("Show Tooltips");
  chkWinOnTop.Move(9000, 1440, 3180, 300);
  chkWinOnTop.SetCaption("Always on top");
  cmdUpdateRT.Move(9000, 1890, 3180, 450);
  cmdUpdateRT.SetCaption("Update Realtime Data");
  cmdSetTray.Move(9000, 2430, 3180, 390);
  cmdSetTray.SetCaption("Send to SystemTray");
  ErrorIndicator.Move(9000, 3000, 240, 240);
  ErrorIndicator.SetBorderStyle(1);
  ErrorIndicator.SetBackColor(kGreen);
  lblError.Move(9330, 3000, 2850, 240);
  lblError.SetCaption("Click Error log");
  lblError.SetForeColor(kRed);
  lblError.SetVisible(false);
  cmdFindTicker.Move(9000, 3900, 3180, 390);
  cmdFindTicker.SetCaption("find Ticker");

  // web pages, one row of buttons
  struct Button {
    rt::CommandButton& button;
    const char* caption;
    double width;
  };
  double left = 120;
  for (const Button& b : {Button{cmdCharts, "Big Charts", 1200}, Button{cmdFundamentals, "Fundamentals", 1440},
                          Button{cmdBuySell, "Buy/Sell  Signals", 1620}, Button{cmdnews2, "News Yahoo", 1350},
                          Button{cmdNews, "News Realtimetraders", 2250}, Button{cmdMarketUpdate, "Market Update", 1590},
                          Button{cmdUpgrades, "Upgrades", 1140}, Button{cmdDowngrades, "Downgrades", 1260}}) {
    b.button.Move(left, 4440, b.width, 420);
    b.button.SetCaption(b.caption);
    left += b.width + 30;
  }

  // market indices
  struct Index {
    rt::Label& label;
    rt::TextBox& box;
    const char* caption;
  };
  double top = 5040;
  for (const Index& i : {Index{lblDJIA, txtDJIA, "DJIA"}, Index{lblNasdaq, txtNasdaq, "Nasdaq"},
                         Index{lblsp500, txtsp500, "S&P500"}, Index{lbl10YBond, txt10YBond, "10 Yr Bond"}}) {
    i.label.Move(120, top + 45, 1050, 255);
    i.label.SetCaption(i.caption);
    i.box.Move(1200, top, 1800, 330);
    i.box.SetLocked(true);
    i.box.SetAlignment(1);
    top += 420;
  }

  // news and banner
  RtbNews1.Move(3150, 5040, 5670, 1590);
  RtbNews1.SetLocked(true);
  Image2.Move(9000, 5040, 3180, 1590);
  Image2.SetStretch(true);
  Image2.SetBorderStyle(1);
  lblVykHome.Move(3150, 6750, 2700, 255);
  lblVykHome.SetCaption("VYK home page");
  lblVykHome.SetForeColor(0xC00000);
  reportBug.Move(9000, 6750, 3180, 255);
  reportBug.SetCaption("report bug");
  reportBug.SetForeColor(0xC00000);
  reportBug.SetAlignment(1);

  sbStatusBar.Move(0, ScaleHeight() - 360, ScaleWidth(), 360);

  // timers
  TimerRT.SetInterval(1000);
  TimerRT.SetEnabled(true);
  TimerTicker1.SetInterval(50);
  TimerTicker1.SetEnabled(false);

  // menus
  mnuPopup.SetCaption("Popup");
  mnuPopup.SetVisible(false);
  mnuShow.SetCaption("&Show");
  mnuOption1.SetCaption("&Options");
  mnuExit.SetCaption("&Exit");
  mnuExit1.SetCaption("&Exit");
  mnuOption.SetCaption("&Options");
  mnuAbout.SetCaption("&About");

  // handlers
  chkAlarmSnd.Click = [this] { chkAlarmSnd_Click(); };
  chkScrollingTicker.Click = [this] { chkScrollingTicker_Click(); };
  chkTooltip.Click = [this] { chkTooltip_Click(); };
  cmdSetTray.Click = [this] { cmdSetTray_Click(); };
  mnuAbout.Click = [this] { mnuAbout_Click(); };
  TimerRT.Tick = [this] { TimerRT_Timer(); };
  chkRT.Click = [this] { chkRT_Click(); };
  cmdUpdateRT.Click = [this] { cmdUpdateRT_Click(); };
  Image2.Click = [this] { Image2_Click(); };
  mnuOption.Click = [this] { mnuOption_Click(); };
  mnuOption1.Click = [this] { mnuOption1_Click(); };
  cmdCharts.Click = [this] { cmdCharts_Click(); };
  cmdDowngrades.Click = [this] { cmdDowngrades_Click(); };
  cmdUpgrades.Click = [this] { cmdUpgrades_Click(); };
  cmdFundamentals.Click = [this] { cmdFundamentals_Click(); };
  cmdBuySell.Click = [this] { cmdBuySell_Click(); };
  cmdMarketUpdate.Click = [this] { cmdMarketUpdate_Click(); };
  cmdNews.Click = [this] { cmdNews_Click(); };
  cmdnews2.Click = [this] { cmdNews2_Click(); };
  cmdFindTicker.Click = [this] { cmdFindTicker_Click(); };
  lblVykHome.Click = [this] { lblVykHome_Click(); };
  reportBug.Click = [this] { reportBug_Click(); };
  mnuShow.Click = [this] { mnuShow_Click(); };
  lblError.Click = [this] { lblError_Click(); };
  TimerTicker1.Tick = [this] { TimerTicker1_Timer(); };
  cmdAddTicker.Click = [this] { cmdAddTicker_Click(); };
  cmdDeleteTicker.Click = [this] { cmdDeleteTicker_Click(); };
  FG3.Click = [this] { Fg3_Click(); };
  FG3.DblClick = [this] { Fg3_DblClick(); };
  txtHigh.Change = [this] { txtHigh_Change(); };
  txtLow.Change = [this] { txtLow_Change(); };
  txtTicker.Change = [this] { txtTicker_Change(); };
  cmbProvider.Click = [this] { cmbProvider_Click(); };
  mnuExit.Click = [this] {
    g_exitByUser = true;
    mnuExit_Click();
  };
  mnuExit1.Click = [this] { mnuExit1_Click(); };
  Winsock1.DataArrival = [this](long bytesTotal) { Winsock1_DataArrival(bytesTotal); };
}

void frmMain_Tollerwick::Form_Load() {
  using namespace Tollerwick_Sub;
  Trap trap = HandlerTrap("form_load of Formular frmMain_Tollerwick");
  // A saved position that is no number (the store edited by hand) is logged and costs only itself: the
  // window stands at the default there, and everything after it is loaded as usual.
  const auto position = [&](const char* name) {
    float twips = 1000;
    trap([&] { twips = rt::CSng(rt::GetSetting(PerUserApp(), "Data", name, "1000")); });
    return twips;
  };
  const float left = position("MainLeft"), top = position("MainTop");
  trap([&] {
    SetLeft(left);
    SetTop(top);
    cmdUpdateRT.SetEnabled(true);
    chkRT.SetEnabled(true);
    chkRT.SetValue(chkAutoUpdate);
    chkScrollingTicker.SetValue(Tollerwick_Sub::chkScrollingTicker);
    chkAlarmSnd.SetValue(Tollerwick_Sub::chkAlarmSnd);
    chkTooltip.SetValue(Tollerwick_Sub::chkTooltip);
    if (chkTooltip.Value() == 1)
      Tollerwick_Tooltip::Set_BalloonTip_Main();
    else
      Tollerwick_Tooltip::Del_BalloonTip_Main();
    std::string news = VYK_File_Dir::sFixDirString(rt::App.Path()) + "download/News100.vyk";
    if (VYK_File_Dir::FileExists(news)) Load_News();
    RtbNews1.SetText(NewsTable[0]);
    rt::DoEvents();
  });
}

// A window manager that frames this window late (a busy desktop) leaves the strip docked under its area, a
// title bar too high: it docks again under the frame, unless the user has moved it since.
void frmMain_Tollerwick::FrameChanged() {
  Skip([&] {
    frmScrollTicker& strip = rt::Default<frmScrollTicker>();
    if (strip.StillDocked()) strip.DockUnder(*this);
  });
}

void frmMain_Tollerwick::Form_Resize() {
  Trap trap{"Form_Resize of Formular frmMain_Tollerwick"};
  trap([&] {
    // the controls keep their design places; the status bar stays along the bottom edge
    sbStatusBar.Move(0, ScaleHeight() - sbStatusBar.Height(), ScaleWidth());
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::Form_Unload(int& /*Cancel*/) {
  Skip([&] { Tollerwick_Sub::Save_Settings(); });
  // What was changed since a file that cannot be saved now was saved last is lost: a user who asked for the
  // end is told which file and why, while the window still stands. End names it on standard error always,
  // and the process ends with a status that says so.
  Skip([&] {
    if (!std::exchange(g_exitByUser, false)) return;
    const std::vector<rt::FailedSave> failed = rt::FailedSaves();
    if (failed.empty()) return;
    std::string text = "The program could not save its settings; what was changed since they were saved last is lost.";
    for (const rt::FailedSave& f : failed) text += "\r\n\r\n" + f.file + ":\r\n" + f.reason;
    rt::MsgBox(text, rt::mbCritical, rt::App.Title);
  });
  // every other window, from the last loaded down to the main window's successor
  Skip([&] {
    const auto& forms = rt::Forms();
    for (size_t i = forms.size(); i-- > 0;) {
      if (i >= forms.size()) continue;
      rt::Form* f = forms[i];
      if (f != this) Skip([&] { f->Unload(); });
    }
  });
  Skip([&] { rt::Reset(); });
  Skip([&] { Tollerwick_Sub::BalloonTips.reset(); });
  Skip([&] { Tollerwick_Main::MainForm = nullptr; });
  rt::End();
}

void frmMain_Tollerwick::mnuExit_Click() {
  Unload();
  rt::End();
}

void frmMain_Tollerwick::mnuExit1_Click() {
  g_exitByUser = true;
  Trap trap{"mnuExit1_Click of Formular frmMain_Tollerwick"};
  trap([&] { mnuExit_Click(); });
  rt::DoEvents();
}

void frmMain_Tollerwick::chkTooltip_Click() {
  HandlerTrap("chkTooltip_Click of Formular frmMain_Tollerwick")([&] {
    if (chkTooltip.Value() == 1)
      Tollerwick_Tooltip::Set_BalloonTip_Main();
    else
      Tollerwick_Tooltip::Del_BalloonTip_Main();
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::chkAlarmSnd_Click() {
  HandlerTrap("chkAlarmSnd_Click of Formular frmMain_Tollerwick")([&] {
    Tollerwick_Sub::chkAlarmSnd = chkAlarmSnd.Value() == 1 ? 1 : 0;
    rt::DoEvents();
  });
}
