#include "platform/controls/WindowlessHost.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPoint>
#include <QToolTip>
#include <QVariant>

#include "platform/controls/ControlSupport.h"

namespace rt {

using namespace detail;

WindowlessHost::WindowlessHost(QWidget* container) : QObject(container), container_(container) {
  container_->installEventFilter(this);
  // moves without a button pressed reach the controls too
  container_->setMouseTracking(true);
}

WindowlessHost& WindowlessHost::Of(QWidget* container) {
  const QVariant v = container->property("rt_windowless");
  if (v.isValid()) return *static_cast<WindowlessHost*>(v.value<void*>());
  auto* host = new WindowlessHost(container);
  container->setProperty("rt_windowless", QVariant::fromValue(static_cast<void*>(host)));
  return *host;
}
WindowlessHost* WindowlessHost::Find(QWidget* container) {
  const QVariant v = container->property("rt_windowless");
  return v.isValid() ? static_cast<WindowlessHost*>(v.value<void*>()) : nullptr;
}
WindowlessHost::~WindowlessHost() {
  for (const Entry& e : entries_)
    if (e.control) e.control->face_->host = nullptr;
}

bool WindowlessHost::eventFilter(QObject* watched, QEvent* e) {
  if (watched != container_) return false;
  switch (e->type()) {
    case QEvent::Paint: {
      // the container's own drawing first, then its windowless controls on it
      static_cast<QObject*>(container_)->event(e);
      Paint(static_cast<QPaintEvent*>(e)->rect());
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* m = static_cast<QMouseEvent*>(e);
      Control* hit = HitTest(m->position().toPoint());
      // the control keeps the mouse until the last button is released, as a window would
      grab_ = current_ = hit;
      if (!hit) return false;
      const int button = ButtonOf(m->button());
      hit->FaceMouse(faceDown, button);
      if (e->type() == QEvent::MouseButtonDblClick && current_ == hit) hit->FaceMouse(faceDblClick, button);
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* m = static_cast<QMouseEvent*>(e);
      Control* c = grab_;
      if (!c) return false;
      if (m->buttons() == Qt::NoButton) grab_ = nullptr;
      const int button = ButtonOf(m->button());
      const bool inside = c->face_->rect.contains(m->position().toPoint());
      current_ = c;
      c->FaceMouse(faceUp, button);
      // a control removed by its own handler gets nothing more
      if (button == 1 && inside && current_ == c) c->FaceMouse(faceClick, button);
      return true;
    }
    case QEvent::MouseMove: {
      auto* m = static_cast<QMouseEvent*>(e);
      // a release the control never saw (the window manager took it, moving the window) ends the hold
      if (m->buttons() == Qt::NoButton) grab_ = nullptr;
      Control* c = grab_ ? grab_ : HitTest(m->position().toPoint());
      if (!grab_) SetHover(c);
      if (!c) return false;
      c->FaceMouse(faceMove, ButtonsOf(m->buttons()));
      return true;
    }
    case QEvent::Leave:
      if (!grab_) SetHover(nullptr);
      return false;
    case QEvent::ToolTip: {
      auto* h = static_cast<QHelpEvent*>(e);
      Control* hit = HitTest(h->pos());
      if (!hit) return false;
      if (hit->face_->toolTip.isEmpty())
        QToolTip::hideText();
      else
        QToolTip::showText(h->globalPos(), hit->face_->toolTip, container_, hit->face_->rect);
      return true;
    }
    default: return false;
  }
}

Control* WindowlessHost::HitTest(const QPoint& at) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->shown && it->rect.contains(at) && it->control->FaceTakesMouse()) return it->control;
  return nullptr;
}

void WindowlessHost::SetHover(Control* c) {
  hover_ = c;
  const int pointer = c ? c->face_->pointer : 0;
  if (pointer == pointerShown_) return;
  pointerShown_ = pointer;
  Qt::CursorShape shape;
  if (CursorOf(pointer, shape))
    container_->setCursor(shape);
  else
    container_->unsetCursor();
}

void WindowlessHost::Paint(const QRect& area) {
  QPainter painter(container_);
  for (const Entry& e : entries_) {
    if (!e.shown || !e.rect.intersects(area)) continue;
    painter.save();
    painter.setClipRect(e.rect);
    e.control->face_->painted = true;
    e.control->PaintFace(painter);
    painter.restore();
  }
}

}  // namespace rt
