#include "monitor/Tollerwick_Sub.h"

#include <cmath>

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "library/VYK_GetSystemInfos.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Program.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/Strings.h"

namespace Tollerwick_Sub {

std::string txtProxyServer;
std::string txtEmailServer;
std::string txtProxyPort;
std::string txtUserEmail;
int chkAutoUpdate = 0;
int ChkProgramUpdate = 0;
int chkAutoInstallation = 0;
int chkUpdateIfOnline = 0;
int chkTooltip = 0;
int chkScrollingTicker = 0;
int chkAlarmSnd = 0;
std::string txtStartTime;
std::string txtStopTime;
std::string txtUpdateInterval;
std::string txtAlarmWait;
int chkStartInTray = 0;
int chkProgramStart = 0;
rt::Variant chkShutdown;
int chkEMail1 = 0;
int chkEMail2 = 0;
int chkInternetSMS = 0;
int chkSMS = 0;
int optConnection = 0;
std::string txtToEmailAddress1;
std::string txtToEmailAddress2;
std::string txtToInternetSMSAddress;
std::string txtToSMSAddress;
std::string txtToSMSSubject;
std::string txtUserName2;
std::string txtPassword2;
std::string txtUserName;

std::string SelectedRow = "2";
bool ForceNewsDownload = true;
int NewsIndex = 0;
int NewsCount = 0;
int BannerCount = 0;
double LastNewsTime = 0;
std::string StatusText;
int BannerIndex = 0;
std::array<std::string, 24> NewsTable;
std::array<Banner, 24> BannerTable;
std::unique_ptr<cToolTip> BalloonTips;
int TickerCount = 0;
std::array<rt::Label*, 1001> TickerLabels{};
std::array<rt::Label*, 1001> VolumeLabels{};
std::array<rt::Label*, 1001> ValueLabels{};
std::array<rt::PictureBox*, 1001> TickerImages{};

namespace {

constexpr const char* kSettings = "Settings";

// The main window the settings are taken from; without one there is nothing to save (91).
frmMain_Tollerwick& TheMainForm() {
  if (!Tollerwick_Main::MainForm) rt::Raise(rt::errObjectNotSet);
  return *Tollerwick_Main::MainForm;
}

// The ticker file has no escape for a double quote: a field that holds one is written without it, so the
// saved list always loads back as the same rows.
std::string FileField(const std::string& text) {
  return rt::Replace(text, "\"", "");
}

// The settings read as whole numbers are switches: 0, 1 and (for a check box) 2, grey. A value that is none
// of them (the store edited by hand, or damaged) is logged and costs only itself: its default is used, and
// every setting after it is read as usual.
int ReadInteger(const std::string& app, const std::string& name, int defaultValue) {
  int value = defaultValue;
  Trap{"Load_Settings of Modul Tollerwick_Sub"}([&] {
    const int stored = rt::CInt(rt::GetSetting(app, kSettings, name, std::to_string(defaultValue)));
    if (stored < 0 || stored > 2) rt::Raise(380, "Invalid property value");
    value = stored;
  });
  return value;
}

std::string ReadText(const std::string& app, const std::string& name, const std::string& defaultValue) {
  return rt::GetSetting(app, kSettings, name, defaultValue);
}

// True when `conversion` raises no error.
template <class Conversion>
bool Converts(Conversion&& conversion) {
  bool converted = false;
  Skip([&] {
    conversion();
    converted = true;
  });
  return converted;
}

std::string ReadUsable(const std::string& app, const std::string& name, const std::string& defaultValue,
                       bool (*usable)(const std::string&)) {
  const std::string value = ReadText(app, name, defaultValue);
  return usable(value) ? value : defaultValue;
}


void Write(const std::string& app, const std::string& name, const std::string& value) {
  rt::SaveSetting(app, kSettings, name, value);
}

void Write(const std::string& app, const std::string& name, int value) {
  rt::SaveSetting(app, kSettings, name, std::to_string(value));
}

// Runs the statements that save `file`, and notes whether they did: a save that failed is told at the
// program's end, unless a later one succeeds.
template <class Statements>
void Saving(const std::string& file, Statements&& statements) {
  try {
    statements();
  } catch (const rt::EndOfProcess&) {
    throw;
  } catch (...) {
    rt::NoteSave(file, std::current_exception());
    throw;
  }
  rt::NoteSave(file, nullptr);
}

}  // namespace

std::string PerUserApp() { return "VYK\\" + VYK_GetSystemInfos::RegAppName + "\\" + VYK_GetSystemInfos::UserID; }

std::string CommonApp() { return "VYK\\Common"; }

bool UsableTime(const std::string& text) {
  return Converts([&] { ClockTime(text); });
}

bool UsableNumber(const std::string& text) {
  return Converts([&] { rt::CInt(rt::CLng(text)); });
}

bool UsableSwitch(const std::string& text) {
  return Converts([&] { rt::CDbl(text); });
}

long ClockTime(const std::string& text) {
  const auto digit = [&](size_t i) { return text[i] >= '0' && text[i] <= '9'; };
  if (text.size() == 5 && text.compare(0, 3, "24:") == 0 && digit(3) && digit(4) && text[3] < '6')
    return 86400 + std::stol(text.substr(3)) * 60;
  const double serial = rt::CDate(text).serial;
  return std::lround((serial - std::floor(serial)) * 86400.0);
}

void Load_Settings() {
  Trap{"Load_Settings of Modul Tollerwick_Sub"}([&] {
    const std::string user = PerUserApp(), common = CommonApp();
    txtProxyServer = ReadText(common, "txtProxyServer", "MyProxy");
    txtEmailServer = ReadText(common, "txtEmailServer", "RaDArazIzuvav");
    txtProxyPort = ReadText(common, "txtProxyPort", "80");
    txtUserEmail = ReadText(user, "txtUserEmail", "");
    chkAutoUpdate = ReadInteger(user, "chkAutoUpdate", 0);
    ChkProgramUpdate = ReadInteger(user, "chkProgramUpdate", 0);
    chkAutoInstallation = ReadInteger(user, "chkAutoInstallation", 0);
    chkUpdateIfOnline = ReadInteger(user, "chkUpdateIfOnline", 0);
    chkTooltip = ReadInteger(user, "chkTooltip", 0);
    chkScrollingTicker = ReadInteger(user, "chkScrollingTicker", 0);
    chkAlarmSnd = ReadInteger(user, "chkAlarmSnd", 1);
    txtStartTime = ReadUsable(user, "txtStartTime", "9:30", UsableTime);
    txtStopTime = ReadUsable(user, "txtStopTime", "16:30", UsableTime);
    txtUpdateInterval = ReadUsable(user, "txtUpdateInterval", "10", UsableNumber);
    txtAlarmWait = ReadUsable(user, "txtAlarmWait", "12", UsableNumber);
    chkStartInTray = ReadInteger(user, "chkStartInTray", 0);
    chkProgramStart = ReadInteger(user, "chkProgramStart", 0);
    chkShutdown = ReadUsable(user, "chkShutdown", "0", UsableSwitch);
    chkEMail1 = ReadInteger(user, "chkEMail1", 0);
    chkEMail2 = ReadInteger(user, "chkEMail2", 0);
    chkInternetSMS = ReadInteger(user, "chkInternetSMS", 0);
    chkSMS = ReadInteger(user, "chkSMS", 0);
    optConnection = ReadInteger(user, "optConnection", 0);
    txtToEmailAddress1 = ReadText(user, "txtToEmailAddress1", "");
    txtToEmailAddress2 = ReadText(user, "txtToEmailAddress2", "");
    txtToInternetSMSAddress = ReadText(user, "txtToInternetSMSAddress", "http://www.websms.example");
    txtToSMSAddress = ReadText(user, "txtToSMSAddress", "+491701234567@sms-gateway.example");
    txtToSMSSubject = ReadText(user, "txtToSMSSubject", "530471");
    txtUserName2 = ReadText(user, "txtUserName2", "");
    txtPassword2 = ReadText(user, "txtPassword2", "");
    txtUserName = rt::GetSetting(common, VYK_GetSystemInfos::UserID, "txtUserName", "");
    rt::DoEvents();
  });
}

bool Save_Settings() {
  bool saved = false;
  Trap{"Save_Settings of Modul Tollerwick_Sub"}([&] {
    frmMain_Tollerwick& main = TheMainForm();
    const std::string user = PerUserApp(), common = CommonApp();
    Saving(rt::registry::StorePath(), [&] {
      if (main.WindowState() != rt::stateMinimized) {
        rt::SaveSetting(user, "Data", "MainLeft", rt::CStr(rt::CSng(main.Left())));
        rt::SaveSetting(user, "Data", "MainTop", rt::CStr(rt::CSng(main.Top())));
      }
      chkAutoUpdate = main.chkRT.Value();
      chkScrollingTicker = main.chkScrollingTicker.Value();
      chkAlarmSnd = main.chkAlarmSnd.Value();
      chkTooltip = main.chkTooltip.Value();
      rt::SaveSetting(common, VYK_GetSystemInfos::UserID, "txtUserName", txtUserName);
      Write(user, "txtUserEmail", txtUserEmail);
      Write(common, "txtProxyPort", txtProxyPort);
      Write(common, "txtProxyServer", txtProxyServer);
      Write(common, "txtEmailServer", txtEmailServer);
      Write(user, "optConnection", optConnection);
      Write(user, "chkAutoUpdate", chkAutoUpdate);
      Write(user, "chkProgramUpdate", ChkProgramUpdate);
      Write(user, "chkAutoInstallation", chkAutoInstallation);
      Write(user, "chkUpdateIfOnline", chkUpdateIfOnline);
      Write(user, "chkTooltip", chkTooltip);
      Write(user, "chkScrollingTicker", chkScrollingTicker);
      Write(user, "chkAlarmSnd", chkAlarmSnd);
      Write(user, "txtStartTime", txtStartTime);
      Write(user, "txtStopTime", txtStopTime);
      Write(user, "txtUpdateInterval", txtUpdateInterval);
      Write(user, "txtAlarmWait", txtAlarmWait);
      Write(user, "chkProgramStart", chkProgramStart);
      Write(user, "chkShutdown", rt::CStr(chkShutdown));
      Write(user, "chkStartInTray", chkStartInTray);
      Write(user, "chkEMail1", chkEMail1);
      Write(user, "chkEMail2", chkEMail2);
      Write(user, "chkInternetSMS", chkInternetSMS);
      Write(user, "chkSMS", chkSMS);
      Write(user, "txtToEmailAddress1", txtToEmailAddress1);
      Write(user, "txtToEmailAddress2", txtToEmailAddress2);
      Write(user, "txtToInternetSMSAddress", txtToInternetSMSAddress);
      Write(user, "txtToSMSAddress", txtToSMSAddress);
      Write(user, "txtToSMSSubject", txtToSMSSubject);
      Write(user, "txtUserName2", txtUserName2);
      Write(user, "txtPassword2", txtPassword2);
    });
    saved = Save_TickerSettings();
    rt::DoEvents();
  });
  return saved;
}

void MakeInitialDirectoryTree() {
  Trap{"MakeInitialDirectoryTree of Modul Tollerwick_Sub"}([&] {
    const std::string path = VYK_File_Dir::sFixDirString(rt::App.Path());
    VYK_File_Dir::CreateDirectoryStruct(path + "download");
    VYK_File_Dir::CreateDirectoryStruct(path + "documentation");
    VYK_File_Dir::CreateDirectoryStruct(path + "../Common");
    rt::DoEvents();
  });
}

std::string BitmapPath(const std::string& name) {
  return VYK_File_Dir::sFixDirString(rt::App.Path()) + "../Common/bitmap/" + name;
}

std::string DownloadPath(const std::string& name) {
  return VYK_File_Dir::sFixDirString(rt::App.Path()) + "download/" + name;
}

std::string TickerFilePath() { return VYK_File_Dir::sFixDirString(rt::App.Path()) + "download/TickerSettings.vyk"; }

std::string TickerIniPath() { return VYK_File_Dir::sFixDirString(rt::App.Path()) + "download/TickerSettings.ini"; }

bool Save_TickerSettings() {
  // The list is written to a new file that takes the old one's place only when it is complete, so a crash
  // or a full disk while saving never leaves half a list: the previous one survives. A list reached through
  // a symbolic link is saved where the link leads, and the link stays.
  const std::string path = rt::LinkTarget(TickerFilePath());
  const std::string fresh = path + ".new";
  int f = 0;
  Trap trap{"Save_TickerSettings of Modul Tollerwick_Sub"};
  const bool saved = trap([&] {
    Saving(path, [&] {
      rt::FlexGrid& grid = TheMainForm().FG3;
      f = rt::FreeFile();
      rt::Open(fresh, rt::OpenMode::Output, f);
      for (long row = 2; row < grid.Rows(); ++row) {
        rt::WriteItems(f, {FileField(grid.TextMatrix(row, 2)), FileField(grid.TextMatrix(row, 11)),
                           FileField(grid.TextMatrix(row, 12)), FileField(grid.TextMatrix(row, 13)),
                           FileField(grid.TextMatrix(row, 14))});
      }
      const int done = f;
      f = 0;
      rt::Close(done);
      rt::ReplaceFile(fresh, path);
    });
    rt::DoEvents();
  });
  if (!saved) {
    Skip([&] {
      if (f) rt::Close(f);
    });
    Skip([&] { rt::Kill(fresh); });
  }
  return saved;
}

std::string Bounded(std::string text) {
  if (text.size() <= kLongestServerText) return text;
  size_t cut = kLongestServerText;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
  return text + " ...";
}

}  // namespace Tollerwick_Sub
