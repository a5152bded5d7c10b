#include "library/cToolTip.h"

#include "library/ErrorTrap.h"
#include "platform/win32/User.h"

using namespace win32;

cToolTip::cToolTip() {
  Skip([&] { InitComCtl(ICC_BAR_CLASSES); });
  Skip([&] {
    hWnd_ = CreateWindowExA(0, "tooltips_class32", "", TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, 0, 0);
  });
  SetStyle(1);
  SetTipWidth(300);
  SetBkColor(0xEEFFFF);
  SetTxtColor(0);
  SetDelayTime(500);
  SetVisibleTime(2000);
}

cToolTip::~cToolTip() {
  Skip([&] {
    if (hWnd_ != 0) DestroyWindow(hWnd_);
  });
}

void cToolTip::InitComCtl(long classes) {
  INITCOMMONCONTROLSEX icc;
  icc.dwSize = 8;
  icc.dwICC = classes;
  if (!InitCommonControlsEx(icc)) InitCommonControls();
}

void cToolTip::SetTxtColor(long vData) {
  txtColor_ = vData;
  Skip([&] { SendMessageA(hWnd_, TTM_SETTIPTEXTCOLOR, vData, 0); });
}

void cToolTip::SetBkColor(long vData) {
  bkColor_ = vData;
  Skip([&] { SendMessageA(hWnd_, TTM_SETTIPBKCOLOR, vData, 0); });
}

void cToolTip::SetVisibleTime(long vData) {
  visibleTime_ = vData;
  Skip([&] { SendMessageA(hWnd_, TTM_SETDELAYTIME, TTDT_AUTOPOP, vData); });
}

void cToolTip::SetDelayTime(long vData) {
  delayTime_ = vData;
  Skip([&] { SendMessageA(hWnd_, TTM_SETDELAYTIME, TTDT_INITIAL, vData); });
}

void cToolTip::SetTipWidth(long vData) {
  tipWidth_ = vData;
  Skip([&] { SendMessageA(hWnd_, TTM_SETMAXTIPWIDTH, 0, vData); });
}

void cToolTip::SetStyle(long vData) {
  style_ = vData;
  Skip([&] {
    if (hWnd_ == 0) return;
    long style = GetWindowLongA(hWnd_, GWL_STYLE);
    if (vData == 2) style |= TTS_BALLOON;
    if (vData == 1) style &= ~TTS_BALLOON;
    SetWindowLongA(hWnd_, GWL_STYLE, style);
  });
}

void cToolTip::SetToolTipObj(long objHwnd, const std::string& sTipText, bool bCenter) {
  Skip([&] {
    TOOLINFOA info;
    info.cbSize = 40;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS | (bCenter ? static_cast<long>(TTF_CENTERTIP) : 0L);
    info.hwnd = objHwnd;
    info.uId = objHwnd;
    info.lpszText = sTipText.c_str();
    SendMessageA(hWnd_, TTM_ADDTOOLA, 0, AddressOf(info));
  });
}

void cToolTip::DelToolTip(long objHwnd, long nItem) {
  Skip([&] {
    TOOLINFOA info;
    info.cbSize = 40;
    info.hwnd = objHwnd;
    info.uId = nItem >= 0 ? nItem : objHwnd;
    SendMessageA(hWnd_, TTM_DELTOOLA, 0, AddressOf(info));
  });
}
