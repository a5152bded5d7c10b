#include "platform/controls/StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Error.h"

namespace rt {

using namespace detail;

StatusBar::StatusBar(Form& owner, std::string name, int panels) : Control(owner, std::move(name)) {
  auto* bar = new QWidget();
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->setSpacing(2);
  for (int i = 0; i < std::max(1, panels); ++i) {
    auto* l = new QLabel();
    // the style's panel, whose edges all stand out from the window's background
    l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    l->setTextFormat(Qt::PlainText);
    layout->addWidget(l, i == 0 ? 1 : 0);
    panels_.push_back(l);
  }
  Attach(bar);
}
std::string StatusBar::PanelText(int panel) {
  Touch();
  if (panel < 1 || panel > static_cast<int>(panels_.size())) Raise(errSubscript);
  return S(static_cast<QLabel*>(panels_[panel - 1])->text());
}
void StatusBar::SetPanelText(int panel, const std::string& text) {
  Touch();
  if (panel < 1 || panel > static_cast<int>(panels_.size())) Raise(errSubscript);
  static_cast<QLabel*>(panels_[panel - 1])->setText(Q(text));
}
void StatusBar::SetPanelWidth(int panel, double twips) {
  Touch();
  if (panel < 1 || panel > static_cast<int>(panels_.size())) Raise(errSubscript);
  panels_[panel - 1]->setFixedWidth(ToPixelsX(twips));
}
std::string StatusBar::SimpleText() { return PanelText(1); }
void StatusBar::SetSimpleText(const std::string& text) { SetPanelText(1, text); }
void StatusBar::Reset() {
  Control::Reset();
  for (QWidget* p : panels_) static_cast<QLabel*>(p)->clear();
}

// ---- ProgressBar

ProgressBar::ProgressBar(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* p = new QProgressBar();
  p->setTextVisible(false);
  p->setRange(0, 100);
  p->setValue(0);
  Attach(p);
}
long ProgressBar::Min() {
  Touch();
  return static_cast<QProgressBar*>(widget_)->minimum();
}
long ProgressBar::Max() {
  Touch();
  return static_cast<QProgressBar*>(widget_)->maximum();
}
long ProgressBar::Value() {
  Touch();
  return static_cast<QProgressBar*>(widget_)->value();
}
void ProgressBar::SetMin(long v) {
  Touch();
  static_cast<QProgressBar*>(widget_)->setMinimum(static_cast<int>(v));
}
void ProgressBar::SetMax(long v) {
  Touch();
  static_cast<QProgressBar*>(widget_)->setMaximum(static_cast<int>(v));
}
void ProgressBar::SetValue(long v) {
  Touch();
  auto* p = static_cast<QProgressBar*>(widget_);
  if (v < p->minimum() || v > p->maximum()) Raise(errInvalidCall, "Invalid property value");
  p->setValue(static_cast<int>(v));
}
void ProgressBar::Reset() {
  Control::Reset();
  static_cast<QProgressBar*>(widget_)->setRange(0, 100);
  static_cast<QProgressBar*>(widget_)->setValue(0);
}

}  // namespace rt
