#pragma once
// The program's one message window: an alarm or a mail error on dark green, and "ok". Whoever shows it
// sets its caption and lblMessage's text first; a later text replaces one still on screen. A text too
// long for the designed box, or a caption too long for the designed width, makes the window grow until
// all of it can be read.

#include "platform/controls/Controls.h"
#include "platform/controls/Form.h"

class frmMessage : public rt::Form {
 public:
  frmMessage();

  rt::Label lblMessage{*this, "lblMessage"};
  rt::CommandButton Command1{*this, "Command1"};

 protected:
  void Design() override;
  void Form_Load() override;
  void CaptionChanged() override;

 private:
  void Command1_Click();
  void lblMessage_Change();
  void Arrange();
};
