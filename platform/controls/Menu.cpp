#include "platform/controls/Menu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "platform/controls/Form.h"

namespace rt {

Menu::Menu(Form& owner, std::string name, Menu* parent) : form_(owner), name_(std::move(name)), parent_(parent) {
  form_.menus_.push_back(this);
  action_ = new QAction(owner.Window());
  action_->setObjectName(QString::fromStdString(name_));
  QObject::connect(action_, &QAction::triggered, [this] {
    if (Click && form_.IsLoaded()) Click();
  });
  if (parent_) {
    parent_->items_.push_back(this);
    parent_->Rebuild();
  } else {
    owner.MainWindow()->menuBar()->addAction(action_);
  }
}
Menu::~Menu() {
  auto& menus = form_.menus_;
  menus.erase(std::remove(menus.begin(), menus.end(), this), menus.end());
}
void Menu::Rebuild() {
  if (!menu_) {
    menu_ = new QMenu(form_.Window());
    action_->setMenu(menu_);
  }
  menu_->clear();
  for (Menu* item : items_) menu_->addAction(item->action_);
}
QMenu* Menu::NativeMenu() { return menu_; }
std::string Menu::Caption() { return action_->text().toStdString(); }
void Menu::SetCaption(const std::string& caption) { action_->setText(QString::fromStdString(caption)); }
bool Menu::Visible() { return action_->isVisible(); }
void Menu::SetVisible(bool visible) { action_->setVisible(visible); }
bool Menu::Enabled() { return action_->isEnabled(); }
void Menu::SetEnabled(bool enabled) { action_->setEnabled(enabled); }
bool Menu::Checked() { return action_->isChecked(); }
void Menu::SetChecked(bool checked) {
  action_->setCheckable(true);
  action_->setChecked(checked);
}

}  // namespace rt
