// The program itself, started as a process of its own: the desktop session ends it with SIGTERM, and it
// saves what it holds on the way out.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Registry.h"
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
