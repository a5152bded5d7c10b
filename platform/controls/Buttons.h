#pragma once
// Command buttons, check boxes and option buttons.

#include <string>

#include "platform/controls/Control.h"

class QShortcut;

namespace rt {

class CommandButton : public Control {
 public:
  CommandButton(Form& owner, std::string name);
  std::string Caption();
  void SetCaption(const std::string& caption);
  // Pressing the button from code.
  void PerformClick();
  // The cancel button of its window: the Esc key presses it.
  void SetCancel(bool cancel);
  void Reset() override;
  Handler Click;

 private:
  QShortcut* escape_ = nullptr;
};

class CheckBox : public Control {
 public:
  CheckBox(Form& owner, std::string name);
  std::string Caption();
  void SetCaption(const std::string& caption);
  // 0 unticked, 1 ticked, 2 greyed.
  int Value();
  void SetValue(int value);
  void Reset() override;
  Handler Click;
};

class OptionButton : public Control {
 public:
  OptionButton(Form& owner, std::string name);
  std::string Caption();
  void SetCaption(const std::string& caption);
  bool Value();
  // Selecting a button clears the others of its container.
  void SetValue(bool value);
  void Reset() override;
  Handler Click;
};

}  // namespace rt
