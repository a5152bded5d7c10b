#pragma once
// The window calls the program makes: window procedures and messages, window styles, moving a window with
// the mouse, keeping one above the others, and the tooltip window class. Windows are named by the layer's
// handles; a window procedure is a function address held in a long, as the calls pass it.

#include <string>
#include <vector>

namespace win32 {

using WNDPROC = long (*)(long hWnd, long uMsg, long wParam, long lParam);

enum : long {
  GWL_WNDPROC = -4,
  GWL_STYLE = -16,
  WM_NCLBUTTONDOWN = 0xA1,
  HTCAPTION = 2,
  HWND_TOPMOST = -1,
  HWND_NOTOPMOST = -2,
  SWP_NOSIZE = 0x1,
  SWP_NOMOVE = 0x2,
  CW_USEDEFAULT = static_cast<long>(0x80000000),
};

// Lets go of the mouse.
long ReleaseCapture();
// Hands a message to the window's procedure and returns its result; 0 for an unknown window.
long SendMessageA(long hWnd, long msg, long wParam, long lParam);
// Calls a window procedure that was replaced (the value SetWindowLongA gave back).
long CallWindowProcA(long prevWndProc, long hWnd, long msg, long wParam, long lParam);
// GWL_WNDPROC: installs a new window procedure and returns the previous one. GWL_STYLE: sets the style
// and returns the previous one. 0 for an unknown window.
long SetWindowLongA(long hWnd, long index, long newLong);
long GetWindowLongA(long hWnd, long index);
// HWND_TOPMOST keeps the window above the others, HWND_NOTOPMOST ends that; with SWP_NOMOVE and SWP_NOSIZE
// the position and size stay. Returns 0 for an unknown window.
long SetWindowPos(long hWnd, long hWndInsertAfter, long x, long y, long cx, long cy, long flags);

// What every window's own procedure does: WM_NCLBUTTONDOWN with HTCAPTION, sent while a button is pressed,
// lets the window follow the mouse until the button is released, as when its title bar is dragged, once
// the pointer has moved past the drag distance (a click or a double click moves nothing); a tooltip window
// takes its messages.
long DefWindowProcA(long hWnd, long msg, long wParam, long lParam);

// Creates a window of a class this layer knows: "tooltips_class32" (a tooltip window). 0 for another class.
long CreateWindowExA(long exStyle, const char* className, const char* windowName, long style, long x, long y,
                     long width, long height, long parent, long menu, long instance, long param);
long DestroyWindow(long hWnd);

// ---- the tooltip window class
enum : long {
  TTS_ALWAYSTIP = 0x1,
  TTS_NOPREFIX = 0x2,
  TTS_BALLOON = 0x40,
  TTF_IDISHWND = 0x1,
  TTF_CENTERTIP = 0x2,
  TTF_SUBCLASS = 0x10,
  TTM_SETDELAYTIME = 0x403,
  TTM_ADDTOOLA = 0x404,
  TTM_DELTOOLA = 0x405,
  TTM_SETTIPBKCOLOR = 0x413,
  TTM_SETTIPTEXTCOLOR = 0x414,
  TTM_SETMAXTIPWIDTH = 0x418,
  TTDT_AUTOPOP = 2,
  TTDT_INITIAL = 3,
};

struct RECT {
  long left = 0, top = 0, right = 0, bottom = 0;
};

// A tool: with TTF_IDISHWND, uId is the handle of the control that shows the tip.
struct TOOLINFOA {
  long cbSize = 40;
  long uFlags = 0;
  long hwnd = 0;
  long uId = 0;
  RECT rect;
  long hinst = 0;
  const char* lpszText = nullptr;
};

// The tooltip window's messages pass a record by its address.
inline long AddressOf(TOOLINFOA& info) { return reinterpret_cast<long>(&info); }

// The common controls: the tooltip class of this layer is always there, so loading it always succeeds.
struct INITCOMMONCONTROLSEX {
  long dwSize = 8;
  long dwICC = 0;
};
enum : long { ICC_BAR_CLASSES = 4 };
long InitCommonControlsEx(const INITCOMMONCONTROLSEX& icc);
void InitCommonControls();

// ---- the system menu of a window: Restore, Move, Size, Minimize, Maximize, a separator, Close
enum : long { MF_BYPOSITION = 0x400 };
// The handle of the window's system menu (bRevert true gives the standard menu back).
long GetSystemMenu(long hWnd, long bRevert);
// Removes an item; without the Close command the window's close button is off and the window manager
// cannot close it.
long RemoveMenu(long hMenu, long nPosition, long wFlags);
// The texts of a system menu's items, in order ("" for a separator).
std::vector<std::string> SystemMenuItems(long hMenu);

// A key pressed: VK_SNAPSHOT (the Print Screen key) copies the screen to the clipboard as a picture.
enum : long { VK_SNAPSHOT = 0x2C };
void keybd_event(long bVk, long bScan, long dwFlags, long dwExtraInfo);

// For tests: the text a tooltip window shows now ("" when hidden), and showing a tool's tip at once.
std::string ShownTipText(long tooltipWindow);
bool ShownTipIsBalloon(long tooltipWindow);
void ShowTipNow(long tooltipWindow, long toolHandle);

}  // namespace win32
