#pragma once
// The program's one message window: an alarm or a mail error, a line or two on dark green, and "ok".
// Whoever shows it sets its caption and lblMessage's text first; a later text replaces one still on
// screen.

#include "platform/controls/Controls.h"
#include "platform/runtime/Form.h"

class frmMessage : public rt::Form {
 public:
  frmMessage();

  rt::Label lblMessage{*this, "lblMessage"};
  rt::CommandButton Command1{*this, "Command1"};

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  void Command1_Click();
};
