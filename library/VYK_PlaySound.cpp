#include "library/VYK_PlaySound.h"

#include "library/ErrorTrap.h"
#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Language.h"
#include "library/VYK_Registry.h"
#include "library/Servers.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Strings.h"
#include "platform/win32/Multimedia.h"

namespace VYK_PlaySound {

std::unique_ptr<automation::SpeechObject> Speech;

std::string SpeechApiAddress() { return Servers::Url("SpeechComponents", "/activex/controls/sapi/spchapi.exe"); }
std::string SpeechEngineAddress() { return Servers::Url("SpeechComponents", "/activex/controls/agent2/tv_enua.exe"); }

namespace {
bool g_sound = false;

std::string ExeBaseName() {
  const std::string exe = rt::App.EXEName();
  const size_t dot = exe.find_last_of('.');
  return dot == std::string::npos ? exe : exe.substr(0, dot);
}
}  // namespace

bool HasSound() {
  g_sound = false;
  Trap{"HasSound of Modul VYK_PlaySound"}([&] { g_sound = win32::waveOutGetNumDevs() >= 1; });
  return g_sound;
}

void Ini_TTS() {
  using VYK_GetSystemInfos::RegAppName;
  using VYK_Language::LanguageText;
  const std::string app = "VYK\\" + RegAppName;
  try {
    Speech = std::make_unique<automation::SpeechObject>();
    if (g_sound) Speech->Register("", ExeBaseName());
    VYK_Registry::SaveRegSetting(app, "Settings", "TTS", -1L);
    return;
  } catch (...) {
  }
  // The speech components are missing: tell the user once per computer.
  Trap trap{"Ini_TTS of Modul VYK_PlaySound"};
  rt::Variant shown;
  trap([&] { shown = VYK_Registry::GetRegSetting(app, "Settings", "TTS", -1L); });
  bool before = false;
  trap([&] { before = rt::CLng(shown) == 0; });
  if (before) return;
  int answer = rt::answerCancel;
  trap([&] {
    const std::string crlf = rt::vbCrLf;
    answer = rt::MsgBox(LanguageText(52) + crlf + LanguageText(53) + crlf + "Download url: " + SpeechApiAddress() + crlf +
                            "Download url: " + SpeechEngineAddress() + crlf + LanguageText(54) + crlf + crlf +
                            LanguageText(55) + crlf + LanguageText(56) + crlf + crlf + LanguageText(57),
                        rt::mbOkCancel, LanguageText(23));
  });
  trap([&] { VYK_Registry::SaveRegSetting(app, "Settings", "TTS", 0L); });
  if (answer == rt::answerOk) {
    trap([&] { win32::DoFileDownload(SpeechApiAddress()); });
    trap([&] { win32::DoFileDownload(SpeechEngineAddress()); });
  }
}

}  // namespace VYK_PlaySound
