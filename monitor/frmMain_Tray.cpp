// The main window in the notification area, its menus, and the error lamp.

#include "library/ErrorTrap.h"
#include "library/VYK_API.h"
#include "library/VYK_ErrorLog.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Program.h"
#include "windows/frmAbout.h"
#include "windows/frmOptions.h"

using namespace VYK_API;

namespace {
Trap Here(const char* procedure) { return HandlerTrap(std::string(procedure) + " of Formular frmMain_Tollerwick"); }
constexpr long kTrayMessage = 0x40F;
}  // namespace

void frmMain_Tollerwick::cmdSetTray_Click() {
  Here("cmdSetTray_Click")([&] {
    TrayHwnd = hWnd();
    TrayIconID = rt::App.hInstance();
    TrayTipText = std::string("Tollerwick") + '\0';
    PrevWndProc = win32::SetWindowLongA(TrayHwnd, win32::GWL_WNDPROC, reinterpret_cast<long>(&TrayWndProc));
    TrayIconData.cbSize = 88;
    TrayIconData.hWnd = TrayHwnd;
    TrayIconData.uID = TrayIconID;
    TrayIconData.uFlags = win32::NIF_MESSAGE | win32::NIF_ICON | win32::NIF_TIP;
    TrayIconData.uCallbackMessage = kTrayMessage;
    TrayIconData.hIcon = win32::WindowIconHandle(TrayHwnd);
    TrayIconData.szTip = TrayTipText + std::string(64 - TrayTipText.size(), ' ');
    if (!win32::Shell_NotifyIconA(win32::NIM_ADD, TrayIconData)) {
      // No icon (the desktop has no notification area): hiding the window would leave no way back to it,
      // so it stays as it is, with its own window procedure, and the failure goes to the error log.
      win32::SetWindowLongA(TrayHwnd, win32::GWL_WNDPROC, PrevWndProc);
      rt::Raise(rt::errInvalidCall, "The icon could not be added to the notification area");
    }
    AnimateTray(1, TrayHwnd);
    Hide();
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::mnuShow_Click() {
  Here("mnuShow_Click")([&] {
    win32::SetWindowLongA(TrayHwnd, win32::GWL_WNDPROC, PrevWndProc);
    win32::Shell_NotifyIconA(win32::NIM_DELETE, TrayIconData);
    AnimateTray(0, TrayHwnd);
    rt::DoEvents();
    Show();
    rt::DoEvents();
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::mnuOption_Click() {
  Here("mnuOption_Click")([&] {
    rt::Default<frmOptions>().Show(1, this);
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::mnuOption1_Click() {
  Here("mnuOption1_Click")([&] {
    mnuOption_Click();
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::mnuAbout_Click() {
  Here("mnuAbout_Click")([&] {
    rt::Default<frmAbout>().Show(1, this);
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::lblError_Click() {
  // The lamp turns green and the label goes once the log is open: a log that could not be opened leaves them
  // lit, with a line in the log that says why.
  Trap trap{"cmdShowLog_Click of Formular FrmMain"};
  if (!trap([&] { rt::Shell("notepad.exe " + VYK_ErrorLog::ErrorLogPath(), 1); })) return;
  trap([&] { ErrorIndicator.SetBackColor(0x00FF00); });
  trap([&] { lblError.SetVisible(false); });
}
