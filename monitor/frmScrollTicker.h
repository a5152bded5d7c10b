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

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_MouseDown(int Button) override;

 private:
  void lblMove_MouseDown(int Button);
  void lblMove_DblClick();
};
