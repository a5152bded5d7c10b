#include "monitor/frmMessage.h"

#include <algorithm>

#include "platform/controls/TextExtent.h"

namespace {
constexpr long kDarkGreen = 0x004000;
// The desktop's colour of highlighted text (white under the usual scheme), on the dark green.
constexpr long kHighlightText = 0x8000000EL;

// The design, in twips: the inside of the window, the label's box and "ok" over the label's lower part.
constexpr double kClientWidth = 2745, kClientHeight = 1050;
constexpr double kMargin = 120;  // the label's left and top
constexpr double kLabelWidth = 2535, kLabelHeight = 855;
constexpr double kButtonLeft = 960, kButtonTop = 720, kButtonWidth = 855, kButtonHeight = 255;
// Between the text and "ok" when the window grows, and below "ok" as in the design.
constexpr double kGap = 60;
constexpr double kBottom = kClientHeight - kButtonTop - kButtonHeight;
}  // namespace

frmMessage::frmMessage() : rt::Form("frmMessage") {}

void frmMessage::Design() {
  DesignSize(kClientWidth, kClientHeight);
  SetBorderStyle(1);
  SetCaption("... Please wait");
  SetBackColor(kDarkGreen);

  lblMessage.Move(kMargin, kMargin, kLabelWidth, kLabelHeight);
  lblMessage.SetBackStyle(1);
  lblMessage.SetBackColor(kDarkGreen);
  lblMessage.SetForeColor(kHighlightText);
  lblMessage.SetFontName("Arial");
  lblMessage.SetFontSize(9);
  lblMessage.SetFontBold(true);
  lblMessage.SetWordWrap(true);
  lblMessage.SetCaption("Data Base will be compacted");
  lblMessage.Change = [this] { lblMessage_Change(); };

  Command1.Move(kButtonLeft, kButtonTop, kButtonWidth, kButtonHeight);
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

void frmMessage::lblMessage_Change() { Arrange(); }

void frmMessage::CaptionChanged() { Arrange(); }

// A text that fits above "ok" and a caption that fits in the title bar leave the window as designed. A longer
// text (a mail server's reply can run to several lines) gets a label as tall as the text and "ok" under it;
// a word wider than the label, or a text taller than most of the screen, makes the window wider too. A
// longer caption makes the window as wide as the title bar needs, the label as wide and "ok" in the middle.
// The window keeps its middle where it was and stays on the screen.
void frmMessage::Arrange() {
  const std::string text = lblMessage.Caption();
  const double widest = rt::ScreenWidth() * 0.9 - 2 * kMargin;
  const double tallest = rt::ScreenHeight() * 0.7;
  double width = kLabelWidth;
  rt::Extent extent = rt::TextExtent(lblMessage, text, width);
  while ((extent.width > width || extent.height > tallest) && width < widest) {
    width = std::min(widest, std::max(extent.width, width * 1.5));
    extent = rt::TextExtent(lblMessage, text, width);
  }

  double labelHeight = kLabelHeight, buttonLeft = kButtonLeft, buttonTop = kButtonTop;
  double clientWidth = kClientWidth, clientHeight = kClientHeight;
  if (width > kLabelWidth || extent.height > kButtonTop - kMargin) {
    // a pixel to spare, whatever the twips make of it on this screen
    labelHeight = extent.height + rt::TwipsPerPixelY();
    buttonTop = kMargin + labelHeight + kGap;
    clientWidth = width + 2 * kMargin;
    clientHeight = buttonTop + kButtonHeight + kBottom;
    buttonLeft = (clientWidth - kButtonWidth) / 2;
  }
  // the inside as wide as the whole title bar must be: a frame's width to spare
  const double forCaption = std::min(widest + 2 * kMargin, CaptionWidth());
  if (forCaption > clientWidth) {
    clientWidth = forCaption;
    width = clientWidth - 2 * kMargin;
    buttonLeft = (clientWidth - kButtonWidth) / 2;
  }
  lblMessage.Move(kMargin, kMargin, width, labelHeight);
  Command1.Move(buttonLeft, buttonTop);

  const double oldWidth = Width(), oldHeight = Height();
  const double middleX = Left() + oldWidth / 2, middleY = Top() + oldHeight / 2;
  SetWidth(oldWidth - ScaleWidth() + clientWidth);
  SetHeight(oldHeight - ScaleHeight() + clientHeight);
  if (Width() == oldWidth && Height() == oldHeight) return;
  Move(middleX - Width() / 2, middleY - Height() / 2);
  KeepOnScreen();
}
