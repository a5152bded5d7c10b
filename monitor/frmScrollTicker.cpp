#include "monitor/frmScrollTicker.h"

#include "library/ErrorTrap.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Events.h"
#include "platform/win32/User.h"

namespace {
Trap Here(const char* procedure) { return HandlerTrap(std::string(procedure) + " of Formular frmScrollTicker"); }
}  // namespace

// Lets the window follow the mouse, as when a title bar is dragged.
void frmScrollTicker::DragWindow() {
  dragged_ = true;
  win32::ReleaseCapture();
  win32::SendMessageA(hWnd(), win32::WM_NCLBUTTONDOWN, win32::HTCAPTION, 0);
}

frmScrollTicker::frmScrollTicker() : rt::Form("frmScrollTicker") {}

void frmScrollTicker::Design() {
  DesignSize(1500, 720);
  SetBorderStyle(0);
  SetShowInTaskbar(false);
  SetBackColor(0xFFFFFF);
  lblMove.Move(0, 600, 1500, 50);
  lblMove.SetBackStyle(1);
  lblMove.SetBackColor(0xC0C0C0);
  lblMove.SetMousePointer(15);
  lblMove.SetToolTipText("Press left mouse button and move window");
  lblMove.MouseDown = [this](int button) { lblMove_MouseDown(button); };
  lblMove.DblClick = [this] { lblMove_DblClick(); };
}

void frmScrollTicker::Form_Load() {
  Here("form_load")([&] {
    win32::SetWindowPos(hWnd(), win32::HWND_TOPMOST, 0, 0, 0, 0, win32::SWP_NOMOVE | win32::SWP_NOSIZE);
    rt::DoEvents();
  });
}

void frmScrollTicker::TickerMove() {
  using namespace Tollerwick_Sub;
  Here("TickerMove")([&] {
    const int count = TickerCount;
    for (int i = 1; i <= count; ++i) {
      // an entry whose building failed half-way lacks controls: 91, and the tick ends
      rt::Label& volume = Entry(VolumeLabels, i + 1);
      rt::Label& ticker = Entry(TickerLabels, i + 1);
      rt::PictureBox& image = Entry(TickerImages, i + 1);
      rt::Label& value = Entry(ValueLabels, i + 1);
      volume.SetLeft(volume.Left() - 15);
      ticker.SetLeft(ticker.Left() - 15);
      image.SetLeft(image.Left() - 15);
      value.SetLeft(value.Left() - 15);
      if (volume.Left() < -volume.Width()) {
        const double w = Entry(VolumeLabels, count + 1).Width();
        volume.SetLeft(w * count);
        ticker.SetLeft(w * count + 250);
        image.SetLeft(w * count);
        value.SetLeft(w * count);
      }
    }
    rt::DoEvents();
  });
}

void frmScrollTicker::lblMove_MouseDown(int /*Button*/) {
  Here("lblMove_MouseDown")([&] {
    DragWindow();
    rt::DoEvents();
  });
}

void frmScrollTicker::Form_MouseDown(int Button) {
  Here("Form_MouseDown")([&] {
    if (Button == 1) DragWindow();
    rt::DoEvents();
  });
}

void frmScrollTicker::lblMove_DblClick() {
  Here("lblMove_DblClick")([&] {
    if (!Tollerwick_Main::MainForm) rt::Raise(rt::errObjectNotSet);
    frmMain_Tollerwick& main = *Tollerwick_Main::MainForm;
    Move(main.Left(), main.Top() + main.Height());
    NoteDocked();
    rt::DoEvents();
  });
}

void frmScrollTicker::NoteDocked() {
  dockedLeft_ = Left();
  dockedTop_ = Top();
  dockedWidth_ = Width();
  dockedHeight_ = Height();
  dragged_ = false;
}

// Only the user's drags count as moves: a window manager may place the strip itself before it moves it
// where the program asked, and the strip is still docked then.
bool frmScrollTicker::StillDocked() {
  return IsLoaded() && (!dragged_ || (Left() == dockedLeft_ && Top() == dockedTop_));
}

void frmScrollTicker::DockUnder(rt::Form& main) {
  Move(main.Left(), main.Top() + main.Height());
  SetWidth(dockedWidth_);
  SetHeight(dockedHeight_);
  NoteDocked();
}
