#pragma once
// The scrolling ticker: a narrow strip above all other windows, one entry per ticker row, moving left.

#include "platform/controls/Controls.h"
#include "platform/controls/Form.h"

class frmScrollTicker : public rt::Form {
 public:
  frmScrollTicker();

  // The drag bar along the bottom of the strip.
  rt::Label lblMove{*this, "lblMove"};

  // Moves every entry 15 twips to the left; an entry that has left the strip comes in again behind the last.
  void TickerMove();

  // Notes where the program has docked the strip and the size it gave it.
  void NoteDocked();
  // True while the user has not moved the strip since it was last docked.
  bool StillDocked();
  // Docks the strip again under the main window's frame, at its left edge and at the size it was given
  // then: a window manager that framed the windows late may have mapped it at the size it had before.
  void DockUnder(rt::Form& main);

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_MouseDown(int Button) override;

 private:
  void lblMove_MouseDown(int Button);
  void lblMove_DblClick();
  void DragWindow();

  double dockedLeft_ = -1, dockedTop_ = -1, dockedWidth_ = 0, dockedHeight_ = 0;
  bool dragged_ = false;  // by the user, since the strip was last docked
};
