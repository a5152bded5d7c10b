#include "platform/controls/ScrollBar.h"

#include <QScrollBar>
#include <QTimer>

#include "platform/runtime/Error.h"

namespace rt {

ScrollBar::ScrollBar(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* s = new QScrollBar(Qt::Vertical);
  s->setRange(0, 32767);
  Attach(s);
  QObject::connect(s, &QScrollBar::actionTriggered, [this, s](int) {
    // the user's step: the new value is there once the action has been applied
    QTimer::singleShot(0, s, [this] { Fire(Change); });
  });
}
long ScrollBar::Min() {
  Touch();
  return static_cast<QScrollBar*>(widget_)->minimum();
}
long ScrollBar::Max() {
  Touch();
  return static_cast<QScrollBar*>(widget_)->maximum();
}
long ScrollBar::Value() {
  Touch();
  return static_cast<QScrollBar*>(widget_)->value();
}
void ScrollBar::SetMin(long v) {
  Touch();
  auto* s = static_cast<QScrollBar*>(widget_);
  const QSignalBlocker block(s);
  s->setMinimum(static_cast<int>(v));
}
void ScrollBar::SetMax(long v) {
  Touch();
  auto* s = static_cast<QScrollBar*>(widget_);
  const QSignalBlocker block(s);
  s->setMaximum(static_cast<int>(v));
}
void ScrollBar::SetValue(long v) {
  Touch();
  auto* s = static_cast<QScrollBar*>(widget_);
  if (v < s->minimum() || v > s->maximum()) Raise(380, "Invalid property value");
  if (v == s->value()) return;
  {
    const QSignalBlocker block(s);
    s->setValue(static_cast<int>(v));
  }
  Fire(Change);
}
void ScrollBar::SetSmallChange(long v) {
  Touch();
  static_cast<QScrollBar*>(widget_)->setSingleStep(static_cast<int>(v));
}
void ScrollBar::SetLargeChange(long v) {
  Touch();
  static_cast<QScrollBar*>(widget_)->setPageStep(static_cast<int>(v));
}
void ScrollBar::Reset() {
  Control::Reset();
  auto* s = static_cast<QScrollBar*>(widget_);
  const QSignalBlocker block(s);
  s->setRange(0, 32767);
  s->setValue(0);
}

}  // namespace rt
