// The end of a program whose tooltip object lives in a static, as the balloon help's does: the object is
// destroyed after main has returned, when the application and its windows are already gone, and the
// process still ends cleanly. This binary has its own main so that nothing is tidied up before the end;
// the test is its exit status.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "library/cToolTip.h"
#include "platform/runtime/Handles.h"

namespace {
// made before main, so destroyed after every static the layer makes while the program runs
std::unique_ptr<cToolTip> g_kept;
QWidget* g_tool = nullptr;
}  // namespace

TEST(ProgramEnd, ATooltipObjectKeptPastMainWithAToolOnAWindow) {
  g_kept = std::make_unique<cToolTip>();
  g_tool = new QWidget;
  g_tool->show();
  g_kept->SetToolTipObj(rt::HandleOf(g_tool), "a tip", false);
  g_kept->SetStyle(2);
  EXPECT_EQ(g_kept->Style(), 2);
}

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
