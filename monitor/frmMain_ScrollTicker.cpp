// The main window's side of the scrolling ticker: its entries, its switch and its timer.

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmScrollTicker.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Events.h"

namespace {
Trap Here(const char* procedure) { return HandlerTrap(std::string(procedure) + " of Formular frmMain_Tollerwick"); }
constexpr double kMaxStripWidth = 10245;

// Where entry n's first label and picture go: behind the rightmost of the entries before it, as an entry that
// wraps around comes in behind the last, however far the strip has scrolled; the first entry at 100 twips.
// Before any scrolling that is 1500 twips for every entry before it, plus 100.
double EntryLeft(int n) {
  using Tollerwick_Sub::VolumeLabels;
  rt::Label* rightmost = nullptr;
  double left = 0;
  for (int i = 1; i < n; ++i) {
    rt::Label* volume = VolumeLabels[i];
    if (!volume) continue;
    const double at = volume->Left();
    if (!rightmost || at > left) {
      rightmost = volume;
      left = at;
    }
  }
  return rightmost ? left + rightmost->Width() : 100;
}
}  // namespace

void frmMain_Tollerwick::AddScrollTicker(const std::string& ticker) {
  using namespace Tollerwick_Sub;
  Here("AddScrollTicker")([&] {
    if (TickerCount >= kMaxTickerEntries) return;
    const int n = ++TickerCount;
    frmScrollTicker& strip = rt::Default<frmScrollTicker>();
    const std::string number = std::to_string(n);
    const double left = EntryLeft(n);

    rt::Label& volume = strip.AddControl<rt::Label>("lblVolume" + number);
    VolumeLabels[n] = &volume;
    volume.SetFontBold(false);
    volume.SetVisible(true);
    volume.SetFontSize(8);
    volume.Move(volume.Left(), 0, 1500, 180);
    volume.SetLeft(left);
    volume.SetCaption("0");

    rt::Label& label = strip.AddControl<rt::Label>("lblTicker" + number);
    TickerLabels[n] = &label;
    label.SetFontBold(true);
    label.SetVisible(true);
    label.SetFontSize(10);
    label.Move(label.Left(), volume.Height(), volume.Width() - 250, 240);
    label.SetLeft(left + 250);
    label.SetCaption(ticker);

    rt::PictureBox& image = strip.AddControl<rt::PictureBox>("imgTicker" + number);
    TickerImages[n] = &image;
    image.SetVisible(true);
    image.Move(left, volume.Height(), 240, 240);
    image.LoadPicture(BitmapPath("unknown.bmp"));

    rt::Label& value = strip.AddControl<rt::Label>("lblValue" + number);
    ValueLabels[n] = &value;
    value.SetFontBold(false);
    value.SetVisible(true);
    value.SetFontSize(8);
    value.Move(value.Left(), volume.Height() + label.Height(), volume.Width(), volume.Height());
    value.SetLeft(left);
    value.SetCaption("0");

    strip.SetHeight(label.Height() + value.Height() + volume.Height() + 120);
    strip.SetWidth(volume.Width() * n);
    strip.Move(Left(), Top() + Height());
    strip.lblMove.Move(0, strip.Height() - 50 - 70, strip.Width(), 50);
    if (strip.Width() > kMaxStripWidth) strip.SetWidth(kMaxStripWidth);
    strip.NoteDocked();
    if (chkScrollingTicker.Value() == 1)
      strip.Show();
    else
      strip.Hide();
    rt::DoEvents();
  });
}

// Removes every entry's controls from the strip, so that their names are free again.
void frmMain_Tollerwick::ClearScrollTicker() {
  using namespace Tollerwick_Sub;
  frmScrollTicker& strip = rt::Default<frmScrollTicker>();
  for (int n = 1; n <= TickerCount; ++n) {
    const std::string number = std::to_string(n);
    for (const char* prefix : {"lblVolume", "lblTicker", "imgTicker", "lblValue"})
      if (strip.FindControl(prefix + number)) strip.RemoveControl(prefix + number);
    VolumeLabels[n] = TickerLabels[n] = ValueLabels[n] = nullptr;
    TickerImages[n] = nullptr;
  }
  TickerCount = 0;
}

void frmMain_Tollerwick::chkScrollingTicker_Click() {
  Here("chkScrollingTicker_Click")([&] {
    frmScrollTicker& strip = rt::Default<frmScrollTicker>();
    if (chkScrollingTicker.Value() == 1) {
      Tollerwick_Sub::chkScrollingTicker = 1;
      TimerTicker1.SetEnabled(true);
      strip.Show();
    } else {
      Tollerwick_Sub::chkScrollingTicker = 0;
      TimerTicker1.SetEnabled(false);
      strip.Hide();
    }
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::TimerTicker1_Timer() {
  Here("TimerTicker1_Timer")([&] {
    rt::Default<frmScrollTicker>().TickerMove();
    rt::DoEvents();
  });
}
