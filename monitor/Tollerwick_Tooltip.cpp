#include "monitor/Tollerwick_Tooltip.h"

#include <functional>
#include <string>
#include <vector>

#include "library/ErrorTrap.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Events.h"
#include "windows/frmOptions.h"

namespace Tollerwick_Tooltip {
namespace {

using Tollerwick_Sub::BalloonTips;

struct Tip {
  rt::Control& control;
  std::string text;
  bool centred;
};

// The lines of a tip, joined by CR LF.
std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  bool first = true;
  for (const char* line : lines) {
    if (!first) text += "\r\n";
    text += line;
    first = false;
  }
  return text;
}

std::vector<Tip> MainTips() {
  frmMain_Tollerwick& m = *Tollerwick_Main::MainForm;
  const char* select = "Select the Ticker Symbol in above";
  const char* press = "list and press the command button";
  return {
      {m.cmdCharts, Lines({select, press, "to show the history chart"}), false},
      {m.cmdFundamentals, Lines({select, press, "to show the fundamental data"}), false},
      {m.cmdBuySell, Lines({select, press, "to show the actual buy/sell signals"}), false},
      {m.cmdnews2, Lines({select, press, "to show the news provided by Yahoo"}), false},
      {m.cmdNews, "show News provided by Realtimetraders", false},
      {m.cmdMarketUpdate, Lines({"press the command button", "to show the actual market update"}), false},
      {m.cmdUpgrades, Lines({"press the command button to show", "the actual market upgrades"}), false},
      {m.cmdDowngrades, Lines({"press the command button to show", "the actual market downgrades"}), false},
      {m.cmdUpdateRT, "Start an update manually", false},
      {m.chkRT,
       Lines({"Enable cyclically downloads of realtime", "data and checking for alarms. You ",
              "have to setup the start and stop", "time in Menue Options/Preferences"}),
       false},
      {m.cmdFindTicker,
       Lines({"You can choose between 2 ", "data providers :", "   Number 1 - Yahoo", "   Number 2 - FreeRealTime", "",
              "After finding the Ticker in the", "provider's Internet Page, you must", "type or copy the Ticker Symbol",
              "and the Provider Number (1 or 2)", "into the Ticker and Limit Table.",
              "The Limit Values are optional."}),
       true},
      {m.txtHigh,
       Lines({"If the actual Stock Value is over", "the High Limit and the last change is",
              "positiv then an alarm will be ", "generated and messages will be sent.", "",
              "If the High Limit field is empty,", "no alarm will be generated !!"}),
       false},
      {m.txtLow,
       Lines({"If the actual Stock Value is under", "the Low Limit and the last change is",
              "negativ then an alarm will be ", "generated and messages will be sent.", "",
              "If the Low Limit field is empty,", "no alarm will be generated !!"}),
       false},
      {m.cmbProvider, Lines({"Select the Data Provider", "for Ticker search."}), false},
  };
}

std::string OptionsTip() { return Lines({"you can check and download", "new versions of Tollerwick"}); }

void Appearance(cToolTip& tips) {
  tips.SetBkColor(0xC0FFFF);
  tips.SetTxtColor(0);
  tips.SetDelayTime(300);
  tips.SetVisibleTime(10000);
  tips.SetTipWidth(260);
  tips.SetStyle(2);
}

}  // namespace

void Set_BalloonTip_Main() {
  HandlerTrap("Set_BalloonTip_Main of Modul Tollerwick_Tooltip")([&] {
    if (!BalloonTips) BalloonTips = std::make_unique<cToolTip>();
    Appearance(*BalloonTips);
    for (const Tip& tip : MainTips()) BalloonTips->SetToolTipObj(tip.control.hWnd(), tip.text, tip.centred);
    rt::DoEvents();
  });
}

void Del_BalloonTip_Main() {
  HandlerTrap("Del_BalloonTip_Main of Modul Tollerwick_Tooltip")([&] {
    if (!BalloonTips) BalloonTips = std::make_unique<cToolTip>();
    for (const Tip& tip : MainTips()) BalloonTips->DelToolTip(tip.control.hWnd(), -1);
    rt::DoEvents();
  });
}

void Set_BalloonTip_Options() {
  HandlerTrap("Set_BalloonTip_Options of Modul Tollerwick_Tooltip")([&] {
    if (!BalloonTips) BalloonTips = std::make_unique<cToolTip>();
    Appearance(*BalloonTips);
    BalloonTips->SetToolTipObj(rt::Default<frmOptions>().cmdChkNewVersion.hWnd(), OptionsTip(), false);
    rt::DoEvents();
  });
}

void Del_BalloonTip_Options() {
  HandlerTrap("Del_BalloonTip_Options of Modul Tollerwick_Tooltip")([&] {
    if (!BalloonTips) BalloonTips = std::make_unique<cToolTip>();
    BalloonTips->DelToolTip(rt::Default<frmOptions>().cmdChkNewVersion.hWnd(), -1);
    rt::DoEvents();
  });
}

}  // namespace Tollerwick_Tooltip
