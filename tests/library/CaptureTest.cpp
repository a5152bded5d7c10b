#include <gtest/gtest.h>

#include <QImage>
#include <QScreen>
#include <QGuiApplication>
#include <QPixmap>
#include <QWidget>

#include "library/VYK_API_Shell.h"
#include "library/VYK_Capture.h"
#include "platform/win32/User.h"
#include "tests/support/Sandbox.h"

class WindowHelpers : public Sandbox {
 protected:
  void TearDown() override {
    rt::testing::DiscardForms();
    Sandbox::TearDown();
  }
};

TEST_F(WindowHelpers, RemovingTheCloseButtonTakesTheLastTwoItemsOfTheSystemMenu) {
  TestForm form;
  form.Show();
  VYK_API_Shell::RemoveCloseButton(form.hWnd());
  const long menu = win32::GetSystemMenu(form.hWnd(), 0);
  EXPECT_EQ(win32::SystemMenuItems(menu),
            (std::vector<std::string>{"Restore", "Move", "Size", "Minimize", "Maximize"}));
  // the window manager can no longer close it
  form.Window()->close();
  EXPECT_TRUE(form.IsLoaded());
  // a second call finds nothing at positions 6 and 5 any more
  VYK_API_Shell::RemoveCloseButton(form.hWnd());
  EXPECT_EQ(win32::SystemMenuItems(menu).size(), 5u);
  EXPECT_EQ(ErrorLog(), "");
}

TEST_F(WindowHelpers, TheDesktopIsSavedAsAPictureOfTheScreensSize) {
  const std::string path = home + "/desktop.bmp";
  ASSERT_TRUE(VYK_Capture::Capture_Desktop(path));
  QImage picture(QString::fromStdString(path));
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), QGuiApplication::primaryScreen()->grabWindow(0).size());
  EXPECT_FALSE(VYK_Capture::Capture_Desktop(home + "/no/such/folder/desktop.bmp"));
  EXPECT_EQ(Lines(ErrorLog()).size(), 1u);
}
