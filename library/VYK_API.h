#pragma once
// The main window's life in the notification area: the tray state, the caption animation between the
// window and the notification area, and the window procedure installed while the window sits there.

#include <string>

#include "platform/win32/Shell.h"

namespace VYK_API {

extern long TrayHwnd;
extern long TrayIconID;
extern long PrevWndProc;
extern std::string TrayTipText;
extern win32::NOTIFYICONDATA TrayIconData;

// mode 1: from the window to the tray; mode 0: from the tray to the window; other modes draw nothing.
void AnimateTray(long mode, long hWnd);
long TrayWndProc(long hWnd, long uMsg, long wParam, long lParam);

}  // namespace VYK_API
