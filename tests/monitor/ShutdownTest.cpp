// The program itself, started as a process of its own: the desktop session ends it with SIGTERM, and it
// saves what it holds on the way out.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Program.h"
#include "platform/runtime/Registry.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/HttpPeer.h"

class Shutdown : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    VYK_GetSystemInfos::RegAppName = "Brennavale";
    VYK_GetSystemInfos::GetPCInfos();
    // this machine has no speech components and the user has been told so: no message box at the start
    VYK_Registry::SaveRegSetting("VYK\\Brennavale", "Settings", "TTS", 0L);
  }

  bool StartProgram(QProcess& program) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TOLLERWICK_HOME", QString::fromStdString(home));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(root + "/run"));
    program.setProcessEnvironment(env);
    program.start(TOLLERWICK_PROGRAM, {});
    if (!program.waitForStarted(60000)) return false;
    // the program folders are made once the main window stands
    for (int i = 0; i < 1200; ++i) {
      if (std::filesystem::exists(home + "/documentation")) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
};

TEST_F(Shutdown, TheSessionsEndSavesTheSettingsAndEndsNormally) {
  rt::SaveSetting(UserApp(), "Settings", "chkAlarmSnd", "0");
  QProcess program;
  ASSERT_TRUE(StartProgram(program));
  EXPECT_EQ(Setting(UserApp(), "Data", "MainLeft"), "<none>");
  program.terminate();  // SIGTERM
  ASSERT_TRUE(program.waitForFinished(60000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_NE(Setting(UserApp(), "Data", "MainLeft"), "<none>");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAlarmSnd"), "0");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAutoUpdate"), "0");
  EXPECT_EQ(Setting("VYK\\Brennavale", "Settings", "ProgramVersion"), "3.7.4");
  // no sound server here: the program has no sound device, and nothing is printed about it
  const std::string said = program.readAllStandardError().toStdString();
  EXPECT_EQ(said.find("PulseAudio"), std::string::npos) << said;
}

namespace {

// Puts a file where a folder was: nothing can be written into it any more, whoever the process runs as.
void FileInPlaceOf(const std::string& folder) {
  std::filesystem::rename(folder, folder + ".away");
  std::ofstream(folder) << "not a folder";
}

}  // namespace

TEST_F(Shutdown, AFailedSaveOnTheWayOutIsToldAndTheEndSaysSo) {
  // the ticker file: the user's own Exit shows which file and why, standard error says it as well
  const auto exitByMenu = [&](int expectedCode) {
    rt::testing::MessageBoxes().shown.clear();
    ::testing::internal::CaptureStderr();
    int code = -1;
    try {
      Tollerwick_Main::MainForm->mnuExit1_Click();
      ADD_FAILURE() << "the program did not end";
    } catch (const rt::EndOfProcess& e) {
      code = e.code;
    }
    rt::testing::DiscardForms();
    Tollerwick_Main::MainForm = nullptr;
    EXPECT_EQ(code, expectedCode);
    return ::testing::internal::GetCapturedStderr();
  };
  ASSERT_TRUE(RunMain());
  const std::string tickerFile = home + "/download/TickerSettings.vyk";
  FileInPlaceOf(home + "/download");
  std::string said = exitByMenu(1);
  ASSERT_EQ(rt::testing::MessageBoxes().shown.size(), 1u);
  const rt::testing::ShownMessage box = rt::testing::MessageBoxes().shown[0];
  EXPECT_NE(box.prompt.find(tickerFile + ":\r\nPath not found (76)"), std::string::npos) << box.prompt;
  EXPECT_EQ(box.style, rt::mbCritical);
  EXPECT_NE(said.find("tollerwick: " + tickerFile + " could not be saved: Path not found (76)\n"), std::string::npos)
      << said;
  // the settings themselves were saved
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAutoUpdate"), "0");

  // the settings store: it is named, and the ticker file, which was not written after it, is not
  std::filesystem::remove(home + "/download");
  std::filesystem::rename(home + "/download.away", home + "/download");
  ASSERT_TRUE(RunMain());
  Tollerwick_Main::MainForm->chkTooltip.SetValue(1);
  const std::string store = rt::registry::StorePath();
  std::filesystem::create_directories(store + ".tmp." + std::to_string(::getpid()) + "/keep");
  said = exitByMenu(1);
  ASSERT_EQ(rt::testing::MessageBoxes().shown.size(), 1u);
  EXPECT_NE(rt::testing::MessageBoxes().shown[0].prompt.find(store + ":\r\n"), std::string::npos)
      << rt::testing::MessageBoxes().shown[0].prompt;
  EXPECT_NE(said.find("tollerwick: " + store + " could not be saved: "), std::string::npos) << said;
  EXPECT_EQ(said.find(tickerFile), std::string::npos) << said;
  std::filesystem::remove_all(store + ".tmp." + std::to_string(::getpid()));

  // saved again: an end as any other
  ASSERT_TRUE(RunMain());
  said = exitByMenu(0);
  EXPECT_TRUE(rt::testing::MessageBoxes().shown.empty());
  EXPECT_EQ(said.find("could not be saved"), std::string::npos) << said;
}

TEST_F(Shutdown, TheSessionsEndWithASaveThatFailsSaysSoAndEndsWithAFailure) {
  QProcess program;
  ASSERT_TRUE(StartProgram(program));
  FileInPlaceOf(home + "/download");
  program.terminate();  // SIGTERM; no one may be there to answer a message, so none is shown
  ASSERT_TRUE(program.waitForFinished(60000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  const std::string said = program.readAllStandardError().toStdString();
  EXPECT_NE(said.find("tollerwick: " + home + "/download/TickerSettings.vyk could not be saved: Path not found (76)\n"),
            std::string::npos)
      << said;
  // what could be saved was
  EXPECT_NE(Setting(UserApp(), "Data", "MainLeft"), "<none>");
}

// Without a display it can use, the program says what is missing and ends with status 1.
TEST(Displays, WithoutOneTheProgramSaysWhatIsMissingAndEnds) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> set;
    const char* said;
  };
  const Case cases[] = {
      {{}, "tollerwick: there is no display (DISPLAY is not set)"},
      {{{"WAYLAND_DISPLAY", "wayland-tollerwick-test"}}, "tollerwick: this Wayland session has no X server (XWayland)"},
      {{{"DISPLAY", ":987"}, {"WAYLAND_DISPLAY", "wayland-tollerwick-test"}},
       "tollerwick: cannot open the display \":987\""},
  };
  for (const Case& c : cases) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    for (const auto& [name, value] : c.set) env.insert(name, value);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(TOLLERWICK_PROGRAM, {});
    ASSERT_TRUE(program.waitForFinished(60000)) << c.said;
    const std::string said = program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << said;
    EXPECT_EQ(program.exitCode(), 1) << said;
    EXPECT_EQ(said.rfind(c.said, 0), 0u) << said;
  }
}

TEST_F(Shutdown, TheSessionsEndDuringADownloadThatNeverEndsSavesAndEndsAtOnce) {
  // every server accepts the request and never answers
  peers::HttpServer silent([](const std::string&) -> std::optional<std::string> { return std::nullopt; });
  for (const char* name : {"MakerHome", "Provider1Quotes", "Provider2Quotes"})
    VYK_Registry::CreateKey(std::string("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\") + name,
                            "127.0.0.1:" + std::to_string(silent.Port()));
  rt::SaveSetting(UserApp(), "Settings", "chkAutoUpdate", "1");
  rt::SaveSetting(UserApp(), "Settings", "chkUpdateIfOnline", "0");
  rt::SaveSetting(UserApp(), "Settings", "txtStartTime", "0:00");
  rt::SaveSetting(UserApp(), "Settings", "txtStopTime", "23:59");
  QProcess program;
  ASSERT_TRUE(StartProgram(program));
  // the first update cycle starts within a second and its first download hangs
  for (int i = 0; i < 600 && silent.Requests().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(silent.Requests().size(), 1u);
  program.terminate();  // SIGTERM
  // far less than the download's own time-out of 60 s
  ASSERT_TRUE(program.waitForFinished(10000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_NE(Setting(UserApp(), "Data", "MainLeft"), "<none>");
  EXPECT_EQ(Setting(UserApp(), "Settings", "chkAutoUpdate"), "1");
}
