#pragma once
// The menus of a form's menu bar, their items, and the pop-up menus made of them.

#include <string>
#include <vector>

#include "platform/controls/Control.h"

class QMenu;
class QAction;

namespace rt {

class Menu {
 public:
  // A menu of the form's menu bar, or an item of another menu.
  Menu(Form& owner, std::string name, Menu* parent = nullptr);
  ~Menu();
  const std::string& Name() const { return name_; }
  std::string Caption();
  void SetCaption(const std::string& caption);
  bool Visible();
  void SetVisible(bool visible);
  bool Enabled();
  void SetEnabled(bool enabled);
  bool Checked();
  void SetChecked(bool checked);
  Handler Click;
  // For the layer: the menu that holds this one's items (for a pop-up).
  QMenu* NativeMenu();

 private:
  void Rebuild();
  Form& form_;
  std::string name_;
  Menu* parent_;
  std::vector<Menu*> items_;
  QAction* action_ = nullptr;
  QMenu* menu_ = nullptr;
};

}  // namespace rt
