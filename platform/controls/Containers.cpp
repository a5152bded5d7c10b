#include "platform/controls/Containers.h"

#include <QGroupBox>
#include <QTabWidget>
#include <QWidget>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Form.h"
#include "platform/controls/WindowlessHost.h"
#include "platform/runtime/Error.h"

namespace rt {

using namespace detail;

Frame::Frame(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* g = new QGroupBox();
  Attach(g);
  g->lower();
}
std::string Frame::Caption() {
  Touch();
  return S(static_cast<QGroupBox*>(widget_)->title());
}
void Frame::SetCaption(const std::string& caption) {
  Touch();
  static_cast<QGroupBox*>(widget_)->setTitle(Q(caption));
}

void Frame::Place(Control& control) {
  Touch();
  if (control.IsWindowless()) {
    control.MoveToContainer(widget_);
    return;
  }
  control.Widget()->setParent(widget_);
  control.Widget()->show();
}

// ---- TabControl

TabControl::TabControl(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* t = new QTabWidget();
  Attach(t);
  t->lower();
}
void TabControl::AddTab(const std::string& caption) {
  Touch();
  auto* t = static_cast<QTabWidget*>(widget_);
  t->addTab(new QWidget(), Q(caption));
}
int TabControl::Tabs() {
  Touch();
  return static_cast<QTabWidget*>(widget_)->count();
}
std::string TabControl::TabCaption(int tab) {
  Touch();
  return S(static_cast<QTabWidget*>(widget_)->tabText(tab));
}
int TabControl::Tab() {
  Touch();
  return static_cast<QTabWidget*>(widget_)->currentIndex();
}
void TabControl::SetTab(int tab) {
  Touch();
  auto* t = static_cast<QTabWidget*>(widget_);
  if (tab < 0 || tab >= t->count()) Raise(380, "Invalid property value");
  t->setCurrentIndex(tab);
}
void TabControl::Reset() {
  Control::Reset();
  // the pages go; what stands on them comes back to the form until the design places it again
  auto* t = static_cast<QTabWidget*>(widget_);
  while (t->count() > 0) {
    QWidget* page = t->widget(0);
    for (QWidget* child : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      child->setParent(form_.Container());
    if (WindowlessHost* host = WindowlessHost::Find(page))
      for (Control* c : host->Controls()) c->MoveToContainer(form_.Container());
    t->removeTab(0);
    // not at once: the page may be delivering the event whose handler loads the form again
    page->hide();
    page->deleteLater();
  }
}

void TabControl::Place(Control& control, int tab) {
  Touch();
  auto* t = static_cast<QTabWidget*>(widget_);
  if (tab < 0 || tab >= t->count()) Raise(380, "Invalid property value");
  if (control.IsWindowless()) {
    control.MoveToContainer(t->widget(tab));
    return;
  }
  control.Widget()->setParent(t->widget(tab));
  control.Widget()->show();
}

}  // namespace rt
