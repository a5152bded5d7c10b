#include "library/VYK_Internet.h"

#include "library/ErrorTrap.h"
#include "library/Servers.h"
#include "library/VYK_ErrorLog.h"
#include "library/VYK_File_Dir.h"
#include "library/VYK_Language.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Strings.h"
#include "platform/win32/Internet.h"
#include "platform/win32/Shell.h"

namespace VYK_Internet {
namespace {

long ConnectionFlags(bool& connected) {
  long flags = 0;
  connected = win32::InternetGetConnectedState(flags, 0) != 0;
  return flags;
}

// The failure message: the list could not be had or holds no record of this program.
void TellFailure() {
  using VYK_Language::LanguageText;
  rt::MsgBox(LanguageText(48) + rt::vbCrLf + LanguageText(49), rt::mbCritical | rt::mbSystemModal, LanguageText(16));
}

}  // namespace

bool Online() {
  bool answer = false;
  Trap{"Online of Modul VYK_Internet"}([&] { ConnectionFlags(answer); });
  return answer;
}

bool ViaLAN() {
  bool answer = false;
  Trap{"ViaLAN of Modul VYK_Internet"}([&] {
    bool connected;
    answer = (ConnectionFlags(connected) & win32::INTERNET_CONNECTION_LAN) != 0;
  });
  return answer;
}

bool ViaModem() {
  bool answer = false;
  Trap{"ViaModem of Modul VYK_Internet"}([&] {
    bool connected;
    answer = (ConnectionFlags(connected) & win32::INTERNET_CONNECTION_MODEM) != 0;
  });
  return answer;
}

void ChkNewVersion() {
  using VYK_Language::LanguageText;
  const std::string folder = VYK_File_Dir::sFixDirString(rt::App.Path()) + "../temp";
  const std::string list = folder + "/versions.txt";
  int f = 0;
  auto closeList = [&] {
    Skip([&] {
      if (f) rt::Close(f);
    });
    f = 0;
  };
  enum class Outcome { Failure, Newer, UpToDate } outcome = Outcome::Failure;
  std::string listVersion;
  long sentence = 0;
  Trap trap{"ChkNewVersion of Modul VYK_Internet"};
  const bool ran = trap([&] {
    VYK_File_Dir::CreateDirectoryStruct(folder);
    rt::Inet& inet = Tollerwick_Main::MainForm->Inet1;
    inet.SetURL(Servers::Url("MakerDownload", "/versions.txt"));
    inet.SetProtocol(4);
    f = rt::FreeFile();
    rt::Open(list, rt::OpenMode::Output, f);
    // a failing download writes nothing, so the list stays empty
    std::string text;
    bool downloaded = false;
    try {
      text = inet.OpenURL();
      downloaded = true;
    } catch (const rt::Error&) {
    }
    if (downloaded) rt::Print(f, {text});
    closeList();
    if (rt::FileLen(list) < 5) return;

    f = rt::FreeFile();
    rt::Open(list, rt::OpenMode::Input, f);
    bool found = false;
    while (!rt::Eof(f)) {
      const std::string product = rt::InputItem(f);
      const std::string version = rt::InputItem(f);
      if (rt::Trim(product).empty()) break;
      if (product == VYK_ErrorLog::ProductNo) {
        listVersion = version;
        found = true;
        break;
      }
    }
    closeList();
    if (!found) return;

    const long p1 = rt::InStr(listVersion, ".");
    const long p2 = p1 ? rt::InStr(p1 + 1, listVersion, ".") : 0;
    if (p1 == 0 || p2 == 0) rt::Raise(rt::errTypeMismatch, "Version without major, minor and revision: " + listVersion);
    const int major = rt::CInt(rt::Left(listVersion, p1 - 1));
    const int minor = rt::CInt(rt::Mid(listVersion, p1 + 1, p2 - p1 - 1));
    const int revision = rt::CInt(rt::Mid(listVersion, p2 + 1));
    // most significant first; a running version newer than the list's is up to date
    if (rt::App.Major != major)
      sentence = rt::App.Major < major ? 47 : 0;
    else if (rt::App.Minor != minor)
      sentence = rt::App.Minor < minor ? 46 : 0;
    else
      sentence = rt::App.Revision < revision ? 45 : 0;
    outcome = sentence ? Outcome::Newer : Outcome::UpToDate;
  });
  closeList();
  if (!ran) outcome = Outcome::Failure;

  Trap{"ChkNewVersion of Modul VYK_Internet"}([&] {
    const std::string product = rt::App.ProductName;
    switch (outcome) {
      case Outcome::Newer: {
        const int answer = rt::MsgBox(product + " " + (LanguageText(sentence) + " (v. " + listVersion + ")") + " " +
                                          LanguageText(43) + rt::vbCrLf + LanguageText(44),
                                      rt::mbYesNo | rt::mbInformation | rt::mbSystemModal, LanguageText(23));
        if (answer == rt::answerYes)
          win32::ShellExecuteA(Tollerwick_Main::MainForm->hWnd(), "open",
                               Servers::Url("MakerDownload", "/products/downloads_e.htm"), "0", "0", 5);
        break;
      }
      case Outcome::UpToDate:
        rt::MsgBox(LanguageText(42) + " (" + std::to_string(rt::App.Major) + "." + std::to_string(rt::App.Minor) +
                       "." + std::to_string(rt::App.Revision) + ") of " + product + ".",
                   rt::mbOkOnly | rt::mbInformation | rt::mbSystemModal, LanguageText(23));
        break;
      case Outcome::Failure: TellFailure(); break;
    }
  });
}

}  // namespace VYK_Internet
