// The main window's web shortcuts: pages about the current row's ticker and about the market, opened in
// the user's browser, and the chart in the program's own browser window.

#include <cctype>
#include <cstdio>

#include "library/ErrorTrap.h"
#include "library/Servers.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Strings.h"
#include "platform/win32/Shell.h"
#include "windows/frmBrowser.h"

namespace {

Trap Here(const char* procedure) {
  return Trap{std::string(procedure) + " of Formular frmMain_Tollerwick"};
}

// The last trading day as YYYYMMDD: today, or Friday on a weekend.
std::string TradingDay() {
  rt::DateTime day = rt::Today();
  const int weekday = rt::Weekday(day);  // 1 Sunday .. 7 Saturday
  if (weekday == 7) day.serial -= 1;
  if (weekday == 1) day.serial -= 2;
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", rt::Year(day), rt::Month(day), rt::Day(day));
  return text;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

// A web address the browser may be given: http or https, a host, and no blanks or control characters.
bool IsWebAddress(const std::string& address) {
  size_t host = 0;
  if (StartsWithNoCase(address, "http://"))
    host = 7;
  else if (StartsWithNoCase(address, "https://"))
    host = 8;
  else
    return false;
  if (host >= address.size() || address[host] == '/') return false;
  for (const char c : address)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
  return true;
}

// The address as the error log shows it: on one line, and not too long.
std::string Shown(const std::string& address) {
  std::string shown = address.substr(0, 200);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return shown;
}

}  // namespace

// The ticker of the current row, ready to go into an address.
std::string frmMain_Tollerwick::SelectedTicker() {
  return Servers::AddressPart(FG3.TextMatrix(rt::CLng(Tollerwick_Sub::SelectedRow), 2));
}

// Only web addresses go to the desktop; any other address (a file, a program) and one the desktop refuses
// raise an error, which the calling handler logs, with the cause when no program could be started for it.
void frmMain_Tollerwick::OpenPage(const std::string& address) {
  if (!IsWebAddress(address)) rt::Raise(rt::errInvalidCall, "Not a web address, not opened: " + Shown(address));
  const long result = win32::ShellExecuteA(hWnd(), "open", address, "0", "0", 5);
  if (result == win32::SE_ERR_NOASSOC)
    rt::Raise(rt::errInvalidCall, "No program could be started to open the address " + Shown(address));
  if (result <= 32) rt::Raise(rt::errInvalidCall, "The address could not be opened: " + Shown(address));
}

void frmMain_Tollerwick::OpenChart(const std::string& address) {
  frmBrowser& browser = rt::Default<frmBrowser>();
  if (browser.IsLoaded()) browser.Unload();
  browser.StartingAddress2 = address;
  browser.SetWindowState(rt::stateNormal);
  browser.Show();
}

void frmMain_Tollerwick::cmdCharts_Click() {
  Here("cmdCharts_Click")([&] {
    OpenChart(Servers::Url(
        "ChartSite",
        "/custom/alliance/interactivechart.asp?astyle=0%2C0%2C0%2C0%2C0%2C0%2C0%2C5%2C0%2C0&symb=" + SelectedTicker()));
  });
}

void frmMain_Tollerwick::cmdDowngrades_Click() {
  Here("cmdDowngrades_Click")([&] { OpenPage(Servers::Url("Provider1News", "/c/" + TradingDay() + "/d.html")); });
}

void frmMain_Tollerwick::cmdUpgrades_Click() {
  Here("cmdUpgrades_Click")([&] { OpenPage(Servers::Url("Provider1News", "/c/" + TradingDay() + "/u.html")); });
}

void frmMain_Tollerwick::cmdFundamentals_Click() {
  Here("cmdFundamentals_Click")([&] {
    OpenPage(Servers::Url("FundamentalsSite", "/cobrands/stocks.asp?cobrand=1982&symbol=" + SelectedTicker()));
  });
}

void frmMain_Tollerwick::cmdBuySell_Click() {
  Here("cmdBuySell_Click")([&] { OpenPage(Servers::Url("SignalSite", "/texsnap.htx?sym=" + SelectedTicker())); });
}

void frmMain_Tollerwick::cmdMarketUpdate_Click() {
  Here("cmdMarketUpdate_Click")([&] { OpenPage(Servers::Url("Provider1Finance", "/mo?u")); });
}

void frmMain_Tollerwick::cmdNews_Click() {
  Here("cmdNews_Click")([&] { OpenPage(Servers::Url("MarketNewsSite", "/news/news.asp")); });
}

void frmMain_Tollerwick::cmdNews2_Click() {
  Here("cmdNews2_Click")([&] {
    const std::string ticker = FG3.TextMatrix(rt::CLng(Tollerwick_Sub::SelectedRow), 2);
    OpenPage(
        Servers::Url("Provider1News", "/n/" + Servers::AddressPart(rt::Left(ticker, 1)) + "/" + Servers::AddressPart(ticker) + ".html"));
  });
}

void frmMain_Tollerwick::cmdFindTicker_Click() {
  Here("cmdFindTicker_Click")([&] {
    const int provider = cmbProvider.ListIndex();
    if (provider == -1 || provider == 0)
      OpenPage(Servers::Url("Provider1Finance", "/l"));
    else if (provider == 1)
      OpenPage(Servers::Url("Provider2Quotes", "/dl/frt/M?IM=search&SA=search"));
  });
}

void frmMain_Tollerwick::lblVykHome_Click() {
  Here("lblVykHome_Click")([&] { OpenPage(Servers::Url("MakerHome", "/vyk")); });
}

void frmMain_Tollerwick::reportBug_Click() {
  Trap{"Label7_Click of Formular FrmMain"}([&] { OpenPage(Servers::Url("MakerDownload", "/support/BugReport.htm")); });
}
