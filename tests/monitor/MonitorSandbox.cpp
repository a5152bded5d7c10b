#include "tests/monitor/MonitorSandbox.h"

#include <unistd.h>

#include <filesystem>

#include "library/VYK_ErrorLog.h"
#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Language.h"
#include "library/VYK_PlaySound.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Program.h"
#include "platform/runtime/Registry.h"
#include "platform/win32/Multimedia.h"
#include "windows/frmOptions.h"

void MonitorSandbox::SetUp() {
  Sandbox::SetUp();
  const std::string runtime = root + "/run";
  std::filesystem::create_directories(runtime);
  ::chmod(runtime.c_str(), 0700);
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  std::filesystem::create_directories(common + "/language");
  std::filesystem::copy(TOLLERWICK_SOURCE_DIR "/resources/Common/bitmap", common + "/bitmap");
  WriteFile(common + "/language/english.lng",
            ReadFile(TOLLERWICK_SOURCE_DIR "/resources/Common/language/english.lng"));
  rt::testing::SetNow(rt::DateTime{rt::DateSerial(2026, 12, 7).serial + rt::TimeSerial(10, 0, 0).serial}, false);
  rt::testing::SetRate(20);
  rt::testing::ThrowOnEnd(true);
  automation::SpeechObject::SetUnavailableForTesting(true);
  VYK_Language::LanguageText.Clear();
}

void MonitorSandbox::TearDown() {
  rt::testing::DiscardForms();
  Tollerwick_Main::MainForm = nullptr;
  VYK_PlaySound::Speech.reset();
  Tollerwick_Sub::BalloonTips.reset();
  VYK_ErrorLog::SetErrorLamp(nullptr);
  rt::OnTerminateRequest(nullptr);
  rt::testing::ThrowOnEnd(false);
  rt::testing::SetRate(1);
  automation::SpeechObject::SetUnavailableForTesting(false);
  automation::SpeechObject::SetAvailableForTesting(false);
  Sandbox::TearDown();
}

bool MonitorSandbox::RunMain() {
  try {
    Tollerwick_Main::Main();
    // the scheduler runs only when a test calls it
    if (Tollerwick_Main::MainForm) Tollerwick_Main::MainForm->TimerRT.SetEnabled(false);
    return true;
  } catch (const rt::EndOfProcess&) {
    return false;
  }
}

void MonitorSandbox::Exit() {
  try {
    Tollerwick_Main::MainForm->mnuExit1_Click();
    ADD_FAILURE() << "the program did not end";
  } catch (const rt::EndOfProcess& e) {
    EXPECT_EQ(e.code, 0);
  }
  rt::testing::DiscardForms();
  Tollerwick_Main::MainForm = nullptr;
}

std::string MonitorSandbox::UserApp() const { return "VYK\\Brennavale\\" + VYK_GetSystemInfos::UserID; }

std::string MonitorSandbox::Setting(const std::string& app, const std::string& section, const std::string& key) const {
  return rt::GetSetting(app, section, key, "<none>");
}

void OptionsSandbox::SetUp() {
  MonitorSandbox::SetUp();
  ASSERT_TRUE(RunMain());
}

void OptionsSandbox::TearDown() {
  Dialog().Unload();
  MonitorSandbox::TearDown();
}

frmOptions& OptionsSandbox::Dialog() { return rt::Default<frmOptions>(); }
