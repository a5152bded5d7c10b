#pragma once
// A tooltip window holding any number of tools: controls that show a tip text when the mouse rests on them.
// Colours, timings, the maximum width and the balloon style apply to all its tips. Nothing it does fails
// towards its caller.

#include <string>

class cToolTip {
 public:
  cToolTip();
  ~cToolTip();
  cToolTip(const cToolTip&) = delete;
  cToolTip& operator=(const cToolTip&) = delete;

  long TxtColor() const { return txtColor_; }
  void SetTxtColor(long vData);
  long BkColor() const { return bkColor_; }
  void SetBkColor(long vData);
  // Milliseconds a tip stays.
  long VisibleTime() const { return visibleTime_; }
  void SetVisibleTime(long vData);
  // Milliseconds before a tip shows.
  long DelayTime() const { return delayTime_; }
  void SetDelayTime(long vData);
  // Pixels.
  long TipWidth() const { return tipWidth_; }
  void SetTipWidth(long vData);
  // 1 standard tip, 2 balloon.
  long Style() const { return style_; }
  void SetStyle(long vData);

  void SetToolTipObj(long objHwnd, const std::string& sTipText, bool bCenter = false);
  // With nItem -1, the tool whose identifier is the control's handle.
  void DelToolTip(long objHwnd, long nItem = 0);

  // The tooltip window (0 when it could not be made).
  long hWnd() const { return hWnd_; }

 private:
  void InitComCtl(long classes);

  long hWnd_ = 0;
  long tipWidth_ = 0;
  long delayTime_ = 0;
  long visibleTime_ = 0;
  long bkColor_ = 0;
  long txtColor_ = 0;
  long style_ = 0;
};
