#include "monitor/Tollerwick_Main.h"

#include "library/ErrorTrap.h"
#include "library/Servers.h"
#include "library/VYK_ErrorLog.h"
#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Language.h"
#include "library/VYK_PlaySound.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Program.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/Strings.h"
#include "windows/frmSplash.h"

namespace Tollerwick_Main {

frmMain_Tollerwick* MainForm = nullptr;
std::unique_ptr<automation::SpeechObject>& SpeechObj = VYK_PlaySound::Speech;
bool SplashRunning = false;

namespace {

// The main window's error lamp, lit by every error report once the window exists.
void LightErrorLamp() {
  if (!MainForm) rt::Raise(rt::errObjectNotSet);
  MainForm->ErrorIndicator.SetBackColor(0x8080FF);
  MainForm->lblError.SetVisible(true);
}

}  // namespace

void Main() {
  using namespace VYK_GetSystemInfos;
  using VYK_Language::LanguageText;
  Trap trap{"Main of Modul Tollerwick_Main"};
  // The desktop session ending the program takes the way of the exit menu.
  rt::OnTerminateRequest([] {
    if (MainForm)
      MainForm->mnuExit_Click();
    else
      rt::End();
  });
  trap([&] { VYK_ErrorLog::ErrorMsgBoxOn = false; });
  trap([&] { VYK_ErrorLog::SetErrorLamp(&LightErrorLamp); });
  trap([&] { VYK_PlaySound::HasSound(); });
  trap([&] { RegAppName = "Brennavale"; });
  trap([&] { GetPCInfos(); });
  trap([&] { VYK_Language::Language = rt::GetSetting(Tollerwick_Sub::PerUserApp(), "Settings", "Language", "english"); });
  bool languageLoaded = false;
  trap([&] {
    std::string file = VYK_Language::Language + ".lng";
    languageLoaded = VYK_Language::set_language(file);
  });
  // without its texts the program cannot start: a failed start, which the exit status tells
  if (!languageLoaded) rt::End(1);

  bool otherInstance = false;
  trap([&] { otherInstance = rt::App.PrevInstance(); });
  if (otherInstance) {
    trap([&] {
      rt::MsgBox(LanguageText(306) + rt::vbCrLf + LanguageText(127), rt::mbExclamation, rt::App.Title + " Info");
    });
    rt::End();
  }
  trap([&] {
    rt::SaveSetting("VYK\\" + RegAppName, "Settings", "ProgramVersion",
                    std::to_string(rt::App.Major) + "." + std::to_string(rt::App.Minor) + "." +
                        std::to_string(rt::App.Revision));
  });

  trap([&] {
    SplashRunning = true;
    rt::Default<frmSplash>().Show();
    while (SplashRunning) rt::DoEventsWaiting();
    rt::Default<frmSplash>().Unload();
  });
  trap([&] { VYK_ErrorLog::CreateErrorLog(); });
  trap([&] { VYK_PlaySound::Ini_TTS(); });
  trap([&] { Tollerwick_Sub::Load_Settings(); });

  trap([&] {
    MainForm = &rt::Default<frmMain_Tollerwick>();
    MainForm->Load();
  });
  trap([&] { rt::DoEvents(); });
  trap([&] { MainForm->Show(); });
  trap([&] { MainForm->SetCaption(RegAppName); });
  trap([&] { MainForm->Refresh(); });
  trap([&] { rt::DoEvents(); });

  trap([&] { Tollerwick_Sub::SelectedRow = std::to_string(2); });
  trap([&] { Tollerwick_Sub::ForceNewsDownload = true; });
  trap([&] { Tollerwick_Sub::BannerIndex = 0; });
  trap([&] { Tollerwick_Sub::NewsIndex = 0; });
  trap([&] { Tollerwick_Sub::BannerTable[0].link = Servers::Url("MakerHome", "/"); });

  trap([&] {
    if (Tollerwick_Sub::chkStartInTray == 1) MainForm->cmdSetTray_Click();
  });
  trap([&] { Tollerwick_Sub::MakeInitialDirectoryTree(); });
  trap([&] { MainForm->FillGrid(true); });

  trap([&] { MainForm->cmbProvider.AddItem("Yahoo        1", 0); });
  trap([&] { MainForm->cmbProvider.AddItem("FreeRealtime 2", 1); });
  trap([&] { MainForm->FillingProviderList = true; });
  trap([&] { MainForm->cmbProvider.SetText(MainForm->cmbProvider.List(0)); });
  trap([&] { MainForm->FillingProviderList = false; });
}

}  // namespace Tollerwick_Main
