#include "platform/controls/ComboBox.h"

#include <QComboBox>
#include <QLineEdit>

#include "platform/controls/ControlSupport.h"
#include "platform/runtime/Error.h"

namespace rt {

using namespace detail;

ComboBox::ComboBox(Form& owner, std::string name, int style) : Control(owner, std::move(name)), style_(style) {
  auto* c = new QComboBox();
  c->setEditable(style_ == 0);
  c->setInsertPolicy(QComboBox::NoInsert);
  Attach(c);
  QObject::connect(c, &QComboBox::activated, [this] { Fire(Click); });
  if (c->lineEdit()) QObject::connect(c->lineEdit(), &QLineEdit::textEdited, [this] { Fire(Change); });
}
void ComboBox::AddItem(const std::string& item, int index) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  if (index > c->count()) Raise(errInvalidCall);
  // Adding never selects an item, not even the first one.
  const int selected = c->currentIndex();
  const QString text = c->currentText();
  const QSignalBlocker block(c);
  c->insertItem(index < 0 ? c->count() : index, Q(item));
  if (selected < 0) {
    c->setCurrentIndex(-1);
    if (c->isEditable()) c->setEditText(text);
  } else if (index >= 0 && index <= selected) {
    c->setCurrentIndex(selected + 1);
  }
}
void ComboBox::RemoveItem(int index) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  if (index < 0 || index >= c->count()) Raise(errInvalidCall);
  const QSignalBlocker block(c);
  c->removeItem(index);
}
void ComboBox::Clear() {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  const QSignalBlocker block(c);
  c->clear();
}
int ComboBox::ListCount() {
  Touch();
  return static_cast<QComboBox*>(widget_)->count();
}
std::string ComboBox::List(int index) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  if (index < 0 || index >= c->count()) return {};
  return S(c->itemText(index));
}
int ComboBox::ListIndex() {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  // an edited text that is no item leaves no item selected
  if (c->isEditable() && c->currentIndex() >= 0 && c->currentText() != c->itemText(c->currentIndex())) return -1;
  return c->currentIndex();
}
void ComboBox::SetListIndex(int index) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  if (index < -1 || index >= c->count()) Raise(errInvalidCall);
  if (index == ListIndex()) return;
  {
    const QSignalBlocker block(c);
    c->setCurrentIndex(index);
    if (index < 0 && c->isEditable()) c->setEditText({});
  }
  Fire(Click);
}
std::string ComboBox::Text() {
  Touch();
  return S(static_cast<QComboBox*>(widget_)->currentText());
}
void ComboBox::SetText(const std::string& text) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  const int match = c->findText(Q(text), Qt::MatchFixedString);
  if (!c->isEditable()) {
    if (match < 0) Raise(errInvalidCall, "'Text' property is read-only");
    SetListIndex(match);
    return;
  }
  if (text == Text() && ListIndex() == match) return;
  {
    const QSignalBlocker block(c);
    if (match >= 0) c->setCurrentIndex(match);
    c->setEditText(Q(text));
  }
  // a text that names an item selects it, as a click would
  Fire(match >= 0 ? Click : Change);
}
void ComboBox::Reset() {
  Control::Reset();
  const QSignalBlocker block(widget_);
  static_cast<QComboBox*>(widget_)->clear();
}

}  // namespace rt
