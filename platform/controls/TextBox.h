#pragma once
// Text boxes: the plain one a user types in, and the read-only box of formatted text.

#include <string>

#include "platform/controls/Control.h"

namespace rt {

class TextBox : public Control {
 public:
  // A multi-line box wraps its lines and may scroll.
  TextBox(Form& owner, std::string name, bool multiLine = false);
  std::string Text();
  void SetText(const std::string& text);
  int MaxLength();
  void SetMaxLength(int length);
  bool Locked();
  void SetLocked(bool locked);
  // A password box shows this character for every character typed; "" shows the text.
  void SetPasswordChar(const std::string& c);
  long SelStart();
  void SetSelStart(long start);
  long SelLength();
  void SetSelLength(long length);
  void SetAlignment(int alignment);  // 0 left, 1 right, 2 centre
  void Reset() override;
  Handler Change;
  Handler LostFocus;

 private:
  bool multiLine_;
  std::string lastText_;
};

// A read-only box of formatted text (the news box).
class RichTextBox : public Control {
 public:
  RichTextBox(Form& owner, std::string name);
  std::string Text();
  void SetText(const std::string& text);
  void SetLocked(bool locked);
  void Reset() override;
  Handler Change;
};

}  // namespace rt
