#pragma once
// The window calls the program makes on its own windows: moving a window with the mouse and keeping one
// above the others.

namespace win32 {

enum : long {
  WM_NCLBUTTONDOWN = 0xA1,
  HTCAPTION = 2,
  HWND_TOPMOST = -1,
  HWND_NOTOPMOST = -2,
  SWP_NOSIZE = 0x1,
  SWP_NOMOVE = 0x2,
};

// Lets go of the mouse.
long ReleaseCapture();
// Only WM_NCLBUTTONDOWN with HTCAPTION is answered: the window then follows the mouse until the button is
// released, as when its title bar is dragged. Other messages return 0.
long SendMessageA(long hWnd, long msg, long wParam, long lParam);
// HWND_TOPMOST keeps the window above the others, HWND_NOTOPMOST ends that; with SWP_NOMOVE and SWP_NOSIZE
// the position and size stay. Returns 0 for an unknown window.
long SetWindowPos(long hWnd, long hWndInsertAfter, long x, long y, long cx, long cy, long flags);

}  // namespace win32
