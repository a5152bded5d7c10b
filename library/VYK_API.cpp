#include "library/VYK_API.h"

#include "library/ErrorTrap.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Strings.h"

namespace VYK_API {

long TrayHwnd = 0;
long TrayIconID = 0;
long PrevWndProc = 0;
std::string TrayTipText;
win32::NOTIFYICONDATA TrayIconData;

void AnimateTray(long mode, long hWnd) {
  using namespace win32;
  if (mode != 0 && mode != 1) return;
  long tray = 0, area = 0;
  Skip([&] { tray = FindWindowA("Shell_TrayWnd", nullptr); });
  Skip([&] { area = GetWindow(tray, GW_CHILD); });
  // the walk ends at the notification area or at the end of the list
  while (area != 0) {
    std::string name(255, '\0');
    long n = 0;
    Skip([&] { n = GetClassNameA(area, name, 255); });
    if (rt::InStr(rt::Left(name, n), "TrayNotifyWnd") > 0) break;
    long next = 0;
    Skip([&] { next = GetWindow(area, GW_HWNDNEXT); });
    area = next;
  }
  RECT window, notify;
  Skip([&] { GetWindowRect(hWnd, window); });
  Skip([&] { GetWindowRect(area, notify); });
  Skip([&] {
    if (mode == 1)
      DrawAnimatedRects(hWnd, IDANI_CAPTION, window, notify);
    else
      DrawAnimatedRects(hWnd, IDANI_CAPTION, notify, window);
  });
}

long TrayWndProc(long hWnd, long uMsg, long wParam, long lParam) {
  using namespace win32;
  if (wParam == TrayIconID) {
    if (lParam == WM_LBUTTONDBLCLK) {
      Skip([&] { SetWindowLongA(TrayHwnd, GWL_WNDPROC, PrevWndProc); });
      Skip([&] { Shell_NotifyIconA(NIM_DELETE, TrayIconData); });
      Skip([&] { AnimateTray(0, TrayHwnd); });
      Skip([&] { rt::DoEvents(); });
      Skip([&] {
        if (rt::Form* main = rt::FormOfHandle(TrayHwnd)) main->Show();
      });
      Skip([&] { rt::DoEvents(); });
    } else if (lParam == WM_RBUTTONDOWN) {
      Skip([&] {
        if (rt::Form* main = rt::FormOfHandle(TrayHwnd))
          if (rt::Menu* popup = main->FindMenu("mnuPopup")) main->PopupMenu(*popup);
      });
    }
  }
  long result = 0;
  Skip([&] { result = CallWindowProcA(PrevWndProc, hWnd, uMsg, wParam, lParam); });
  return result;
}

}  // namespace VYK_API
