#include "monitor/frmMessage.h"

namespace {
constexpr long kDarkGreen = 0x004000;
// The desktop's colour of highlighted text (white under the usual scheme), on the dark green.
constexpr long kHighlightText = 0x8000000EL;
}  // namespace

frmMessage::frmMessage() : rt::Form("frmMessage") {}

void frmMessage::Design() {
  DesignSize(2745, 1050);
  SetBorderStyle(1);
  SetCaption("... Please wait");
  SetBackColor(kDarkGreen);

  lblMessage.Move(120, 120, 2535, 855);
  lblMessage.SetBackStyle(1);
  lblMessage.SetBackColor(kDarkGreen);
  lblMessage.SetForeColor(kHighlightText);
  lblMessage.SetFontName("Arial");
  lblMessage.SetFontSize(9);
  lblMessage.SetFontBold(true);
  lblMessage.SetWordWrap(true);
  lblMessage.SetCaption("Data Base will be compacted");

  Command1.Move(960, 720, 855, 255);
  Command1.SetCaption("ok");
  Command1.Click = [this] { Command1_Click(); };
}

// Every load puts the window in the middle of the screen; while it stays loaded it stays where it is.
void frmMessage::Form_Load() {
  Move((rt::ScreenWidth() - Width()) / 2, (rt::ScreenHeight() - Height()) / 2);
}

void frmMessage::Command1_Click() {
  Unload();
}
