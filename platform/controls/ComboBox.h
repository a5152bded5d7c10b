#pragma once

#include <string>

#include "platform/controls/Control.h"

namespace rt {

class ComboBox : public Control {
 public:
  // Style 0: a text box with a list; style 2: a list only.
  ComboBox(Form& owner, std::string name, int style = 0);
  void AddItem(const std::string& item, int index = -1);
  void RemoveItem(int index);
  void Clear();
  int ListCount();
  std::string List(int index);
  int ListIndex();
  void SetListIndex(int index);
  std::string Text();
  void SetText(const std::string& text);
  void Reset() override;
  Handler Click;
  Handler Change;

 private:
  int style_;
};

}  // namespace rt
