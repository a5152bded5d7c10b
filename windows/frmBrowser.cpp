#include "windows/frmBrowser.h"

#include "library/ErrorTrap.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Registry.h"

namespace {
constexpr const char* kApp = "Brennavale";
}

frmBrowser::frmBrowser() : rt::Form("frmBrowser") {}

void frmBrowser::Design() {
  DesignSize(600, 500);
  SetCaption(rt::App.Title);
  brwWebBrowser2.Move(0, 0, 500, 400);
  brwWebBrowser2.DownloadBegin = [this] { brwWebBrowser2_DownloadBegin(); };
  brwWebBrowser2.DownloadComplete = [this] { brwWebBrowser2_DownloadComplete(); };
}

void frmBrowser::Form_Load() {
  Skip([&] { SetLeft(rt::CDbl(rt::GetSetting(kApp, "Settings", "MainLeft", "0"))); });
  Skip([&] { SetTop(rt::CDbl(rt::GetSetting(kApp, "Settings", "MainTop", "0"))); });
  Skip([&] { SetWidth(600); });
  Skip([&] { SetHeight(500); });
  Skip([&] { Show(); });
  Skip([&] { brwWebBrowser2.Navigate(StartingAddress2); });
}

void frmBrowser::brwWebBrowser2_DownloadBegin() {
  Skip([&] { SetCaption(" Getting Page..."); });
}

void frmBrowser::brwWebBrowser2_DownloadComplete() {
  Skip([&] { SetCaption("DurivEraz Uzoduz"); });
  Skip([&] { SetHeight(630 * rt::TwipsPerPixelY()); });
  Skip([&] { SetWidth(490 * rt::TwipsPerPixelX()); });
  // also when the size was that already (no resize follows), for a window the user moved partly off
  Skip([&] { KeepOnScreen(); });
  FitBrowser();
}

void frmBrowser::Form_Resize() {
  Skip([&] {
    if (Left() == 0) SetLeft((rt::ScreenWidth() - Width()) / 2);
  });
  Skip([&] {
    if (Top() == 0) SetTop((rt::ScreenHeight() - Height()) / 2);
  });
  // a page makes the window larger than it opened: it moves as far as it must to stay on the screen
  Skip([&] { KeepOnScreen(); });
  FitBrowser();
}

// The browser fills the window less 100 twips each way.
void frmBrowser::FitBrowser() {
  Skip([&] { brwWebBrowser2.SetHeight(Height() - 100); });
  Skip([&] { brwWebBrowser2.SetWidth(Width() - 100); });
}

void frmBrowser::Form_Unload(int& /*Cancel*/) {
  Skip([&] { rt::SaveSetting(kApp, "Settings", "MainLeft", rt::CStr(Left())); });
  Skip([&] { rt::SaveSetting(kApp, "Settings", "MainTop", rt::CStr(Top())); });
  // The closed window keeps its controls: its page ends here, so nothing of it runs on unseen, and the next
  // load navigates once from an empty page.
  Skip([&] { brwWebBrowser2.Blank(); });
}
