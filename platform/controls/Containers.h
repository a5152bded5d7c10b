#pragma once
// Controls that hold other controls: the frame and the tab control.

#include <string>

#include "platform/controls/Control.h"

namespace rt {

class Frame : public Control {
 public:
  Frame(Form& owner, std::string name);
  std::string Caption();
  void SetCaption(const std::string& caption);
  // Puts a control inside the frame; its place counts from the frame's corner from then on. Option buttons
  // in one frame form one group.
  void Place(Control& control);
};

// A row of tabs, each with a page that holds controls; positions on a page count from its corner.
class TabControl : public Control {
 public:
  TabControl(Form& owner, std::string name);
  void AddTab(const std::string& caption);
  int Tabs();
  std::string TabCaption(int tab);
  int Tab();
  void SetTab(int tab);
  void Place(Control& control, int tab);
  void Reset() override;
};

}  // namespace rt
