#include "platform/controls/Buttons.h"

#include <QCheckBox>
#include <QKeySequence>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Error.h"

namespace rt {

using namespace detail;

CommandButton::CommandButton(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* b = new QPushButton();
  Attach(b);
  QObject::connect(b, &QPushButton::clicked, [this] { Fire(Click); });
}
std::string CommandButton::Caption() {
  Touch();
  return S(static_cast<QPushButton*>(widget_)->text());
}
void CommandButton::SetCaption(const std::string& caption) {
  Touch();
  static_cast<QPushButton*>(widget_)->setText(Q(caption));
}
void CommandButton::SetCancel(bool cancel) {
  Touch();
  if (cancel && !escape_) {
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), form_.Window());
    QObject::connect(escape_, &QShortcut::activated, [this] {
      if (widget_->isEnabled()) Fire(Click);
    });
  }
  if (escape_) escape_->setEnabled(cancel);
}

void CommandButton::PerformClick() {
  Touch();
  Fire(Click);
}
void CommandButton::Reset() {
  Control::Reset();
  static_cast<QPushButton*>(widget_)->setText({});
}

// ---- CheckBox

CheckBox::CheckBox(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* c = new QCheckBox();
  Attach(c);
  // a user's click has changed the state already
  QObject::connect(c, &QCheckBox::clicked, [this] { Fire(Click); });
}
std::string CheckBox::Caption() {
  Touch();
  return S(static_cast<QCheckBox*>(widget_)->text());
}
void CheckBox::SetCaption(const std::string& caption) {
  Touch();
  static_cast<QCheckBox*>(widget_)->setText(Q(caption));
}
int CheckBox::Value() {
  Touch();
  switch (static_cast<QCheckBox*>(widget_)->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
  }
}
void CheckBox::SetValue(int value) {
  Touch();
  if (value < 0 || value > 2) Raise(errInvalidCall);
  if (value == Value()) return;
  auto* c = static_cast<QCheckBox*>(widget_);
  c->setTristate(value == 2);
  c->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
  Fire(Click);
}
void CheckBox::Reset() {
  Control::Reset();
  auto* c = static_cast<QCheckBox*>(widget_);
  c->setText({});
  c->setTristate(false);
  c->setCheckState(Qt::Unchecked);
}

// ---- OptionButton

OptionButton::OptionButton(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* r = new QRadioButton();
  Attach(r);
  QObject::connect(r, &QRadioButton::clicked, [this] { Fire(Click); });
}
std::string OptionButton::Caption() {
  Touch();
  return S(static_cast<QRadioButton*>(widget_)->text());
}
void OptionButton::SetCaption(const std::string& caption) {
  Touch();
  static_cast<QRadioButton*>(widget_)->setText(Q(caption));
}
bool OptionButton::Value() {
  Touch();
  return static_cast<QRadioButton*>(widget_)->isChecked();
}
void OptionButton::SetValue(bool value) {
  Touch();
  if (value == Value()) return;
  static_cast<QRadioButton*>(widget_)->setChecked(value);
  if (value) Fire(Click);
}
void OptionButton::Reset() {
  Control::Reset();
  static_cast<QRadioButton*>(widget_)->setText({});
  static_cast<QRadioButton*>(widget_)->setChecked(false);
}

}  // namespace rt
