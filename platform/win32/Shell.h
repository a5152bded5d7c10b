#pragma once
// The notification area of the desktop, the task bar's place in it, and opening documents and addresses.

#include <optional>
#include <string>

#include "platform/win32/User.h"

namespace win32 {

enum : long { NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2, NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4 };
enum : long { WM_LBUTTONUP = 0x202, WM_LBUTTONDBLCLK = 0x203, WM_RBUTTONDOWN = 0x204, WM_MBUTTONUP = 0x208 };

// An icon in the notification area. Its mouse notifications arrive at hWnd's window procedure as the
// message uCallbackMessage, with uID as wParam and the mouse message as lParam.
struct NOTIFYICONDATA {
  long cbSize = 88;
  long hWnd = 0;
  long uID = 0;
  long uFlags = 0;
  long uCallbackMessage = 0;
  long hIcon = 0;
  std::string szTip;  // 64 characters; a NUL ends the tip
};

// Adds, changes or removes the icon named by hWnd and uID; 0 when the desktop has no notification area
// (the icon is kept all the same and appears when one comes).
long Shell_NotifyIconA(long dwMessage, const NOTIFYICONDATA& data);

// The icon handle of a window's own icon.
long WindowIconHandle(long hWnd);

// Windows of the desktop itself: the taskbar ("Shell_TrayWnd") and, as its child, the notification area
// ("TrayNotifyWnd"), where the desktop has a notification area; FindWindowA gives 0 for any other.
long FindWindowA(const char* className, const char* windowName);
enum : long { GW_HWNDNEXT = 2, GW_CHILD = 5 };
long GetWindow(long hWnd, long cmd);
long GetClassNameA(long hWnd, std::string& buffer, long size);
long GetWindowRect(long hWnd, RECT& rect);
enum : long { IDANI_CAPTION = 3 };
// Draws a frame that moves from one rectangle to the other; 0 when either is empty.
long DrawAnimatedRects(long hWnd, long idAni, const RECT& from, const RECT& to);

// Opens a document or address with the program the desktop uses for it; greater than 32 when it could,
// SE_ERR_NOASSOC when no program could be started for it.
enum : long { SE_ERR_NOASSOC = 31 };
long ShellExecuteA(long hWnd, const std::string& operation, const std::string& file, const std::string& parameters,
                   const std::string& directory, long showCmd);

namespace testing {
// A mouse action on the icon (lParam as the window procedure gets it), delivered as the desktop delivers
// it: through the icon's own signal, from code that goes on using the icon once the signal returns; then
// the program's answer runs. False when the icon was destroyed inside its own signal (a real desktop
// crashes then) or there is no such icon.
bool ClickTrayIcon(long hWnd, long uID, long mouseMessage);
bool TrayIconShown(long hWnd, long uID);
// Whether the desktop has a notification area, instead of asking it; nullopt asks it again.
void SetTrayAvailable(std::optional<bool> available);
// Where the notification area stands on the screen, instead of asking the desktop; nullopt asks it again.
void SetNotificationArea(std::optional<RECT> area);
std::string TrayIconTip(long hWnd, long uID);
}  // namespace testing

}  // namespace win32
