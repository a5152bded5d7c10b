#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <cstdlib>
#include <string>

#include "platform/runtime/Launch.h"
#include "tests/support/Sandbox.h"

namespace {

// No test starts anything outside the test run: every launch is recorded instead, from the first test on,
// and each test begins with an empty record and a recorder that answers "started".
class NothingLaunches : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    rt::testing::RecordLaunches();
    rt::testing::Launches().clear();
  }
  void OnTestEnd(const ::testing::TestInfo&) override { rt::testing::RecordLaunches(); }
};

// The sandboxes' folder goes when the tests end, whatever they did: a failed or thrown test still gets here.
class SandboxesGo : public ::testing::Environment {
  void TearDown() override { RemoveSandboxes(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The offscreen screen is as large as the desktop suite's (1280 by 1024), where the main window fits: a
  // window is never larger than its screen, and the offscreen platform's own screen is 800 by 800. The
  // programs the tests start get the same.
  if (std::string(std::getenv("QT_QPA_PLATFORM")) == "offscreen")
    ::setenv("QT_QPA_PLATFORM", "offscreen:configfile=" TOLLERWICK_SOURCE_DIR "/tests/support/screen.json", 1);
  // The tests' servers run on this machine: a proxy of the environment is never asked for them.
  for (const char* name : {"no_proxy", "NO_PROXY"}) {
    const char* hosts = std::getenv(name);
    const std::string before = hosts && *hosts ? std::string(hosts) + "," : std::string();
    ::setenv(name, (before + "127.0.0.1,localhost").c_str(), 1);
  }
  QApplication app(argc, argv);
  rt::testing::RecordLaunches();
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new NothingLaunches);
  ::testing::AddGlobalTestEnvironment(new SandboxesGo);
  const int result = RUN_ALL_TESTS();
  // The windows go before the application does: a web view outliving it takes the process down.
  QList<QPointer<QWidget>> windows;
  for (QWidget* w : QApplication::topLevelWidgets()) windows << w;
  for (const QPointer<QWidget>& w : windows) delete w.data();
  return result;
}
