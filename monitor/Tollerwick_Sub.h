#pragma once
// The settings variables, one per persisted option, and their way to and from the per-user settings store;
// the shared state of the main window's tables.

#include <array>
#include <memory>
#include <string>

#include "library/cToolTip.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Variant.h"

namespace rt {
class Label;
class PictureBox;
}  // namespace rt

namespace Tollerwick_Sub {

// ---- settings variables, named after the values they are stored under
extern std::string txtProxyServer;
extern std::string txtEmailServer;
extern std::string txtProxyPort;
extern std::string txtUserEmail;
extern int chkAutoUpdate;
extern int ChkProgramUpdate;
extern int chkAutoInstallation;
extern int chkUpdateIfOnline;
extern int chkTooltip;
extern int chkScrollingTicker;
extern int chkAlarmSnd;
extern std::string txtStartTime;
extern std::string txtStopTime;
extern std::string txtUpdateInterval;
extern std::string txtAlarmWait;
extern int chkStartInTray;
extern int chkProgramStart;
extern rt::Variant chkShutdown;
extern int chkEMail1;
extern int chkEMail2;
extern int chkInternetSMS;
extern int chkSMS;
extern int optConnection;
extern std::string txtToEmailAddress1;
extern std::string txtToEmailAddress2;
extern std::string txtToInternetSMSAddress;
extern std::string txtToSMSAddress;
extern std::string txtToSMSSubject;
extern std::string txtUserName2;
extern std::string txtPassword2;
extern std::string txtUserName;

// ---- shared state of the main window
// The grid row that the ticker, limit and provider boxes write to ("2" at start, never below 2).
extern std::string SelectedRow;
// News and banner tables and where their rotation stands.
extern bool ForceNewsDownload;
extern int NewsIndex;
extern int NewsCount;
extern int BannerCount;
// When news and banner were last downloaded, on the seconds clock.
extern double LastNewsTime;
// The connection part of the status line.
extern std::string StatusText;
extern int BannerIndex;
extern std::array<std::string, 24> NewsTable;
struct Banner {
  std::string picture;
  std::string link;
};
extern std::array<Banner, 24> BannerTable;

// The one tooltip object of the balloon help of the main window and the options dialog; empty until first
// used, released when the main window unloads.
extern std::unique_ptr<cToolTip> BalloonTips;

// The entries of the scrolling ticker: the controls of entry n (1 .. TickerCount) on frmScrollTicker.
// Entry n belongs to grid row n + 1. TickerCount is what element 0 of TickerLabels holds.
constexpr int kMaxTickerEntries = 999;
extern int TickerCount;
extern std::array<rt::Label*, 1001> TickerLabels;
extern std::array<rt::Label*, 1001> VolumeLabels;
extern std::array<rt::Label*, 1001> ValueLabels;
extern std::array<rt::PictureBox*, 1001> TickerImages;

// The scrolling-ticker entry of grid row `row` (element row - 1); a row without one is an error (9 outside
// the arrays, 91 for a missing entry), as the run time's arrays of controls give.
template <class T>
T& Entry(const std::array<T*, 1001>& entries, int row) {
  const int n = row - 1;
  if (n < 0 || n >= static_cast<int>(entries.size())) rt::Raise(rt::errSubscript);
  if (!entries[n]) rt::Raise(rt::errObjectNotSet);
  return *entries[n];
}

// A picture of the shared picture folder, and a file of the program's download folder.
std::string BitmapPath(const std::string& name);
std::string DownloadPath(const std::string& name);

// "VYK\Brennavale\<user>" and "VYK\Common": the two application names of the store.
std::string PerUserApp();
std::string CommonApp();

void Load_Settings();
// The settings that the scheduler and the alarm path read as times and numbers at every turn. A value they
// cannot read would stop that work for good, so it never becomes the setting: the store's value gives way
// to the default, the options dialog's to the value in force.
bool UsableTime(const std::string& text);
// The interval's minutes, the alarm wait's hours: a number that the scheduler, the alarm check and the
// options dialog's scroll bars read (within their range once rounded to a whole one).
bool UsableNumber(const std::string& text);
bool UsableSwitch(const std::string& text);  // a number: 0 is off (the program's end at the stop time)
// A clock time ("9:30") as the second of the day; the hour 24, which the options dialog allows, stands for
// the minutes after the day's last second.
long ClockTime(const std::string& text);
// True when every setting and the ticker file were written.
bool Save_Settings();
void MakeInitialDirectoryTree();
// Writes the ticker file from the main window's grid; true when the file was written.
bool Save_TickerSettings();
// The ticker file and the file read when it is missing.
std::string TickerFilePath();
std::string TickerIniPath();

// A text from a server as the program keeps or shows it: at most 2,000 bytes, cut with " ..." after it
// and never inside a character of several bytes. The windows lay out all they are given, so a text of
// hundreds of thousands of characters would stop them.
constexpr size_t kLongestServerText = 2000;
std::string Bounded(std::string text);

}  // namespace Tollerwick_Sub
