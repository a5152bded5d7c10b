#include "platform/controls/ScreenArea.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace rt::detail {

namespace {

QScreen* ScreenOf(const QWidget* window, const QPoint& at) {
  if (QScreen* s = QGuiApplication::screenAt(at)) return s;
  if (QScreen* s = window ? window->screen() : nullptr) return s;
  return QGuiApplication::primaryScreen();
}

// What the frame adds to the window's size, as far as the desktop has told it.
QSize FrameSize(const QWidget* window) { return window->frameGeometry().size() - window->size(); }

// Gives a top-level window whose native window has just been made a base size of its own, which the toolkit
// then sends with the size hints (scaled, at once, before the window is first mapped).
class BaseSizeGiver : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::PlatformSurface) return false;
    if (static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() != QPlatformSurfaceEvent::SurfaceCreated)
      return false;
    auto* window = qobject_cast<QWindow*>(watched);
    if (!window || !window->isTopLevel()) return false;
    const QSize base = window->baseSize();
    if (base.width() < 0 || base.height() < 0) window->setBaseSize(base.expandedTo(QSize(0, 0)));
    return false;
  }
};

}  // namespace

QRect AvailableArea(const QWidget* window, const QPoint& at) {
  const QScreen* s = ScreenOf(window, at);
  return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

QSize LargestSize(const QWidget* window) {
  const QRect frame = window->frameGeometry();
  const QSize room = AvailableArea(window, frame.center()).size() - FrameSize(window);
  return room.expandedTo(QSize(1, 1));
}

QPoint PlaceInside(const QWidget* window, const QPoint& topLeft) {
  const QSize outer = window->frameGeometry().size();
  const QRect area = AvailableArea(window, QRect(topLeft, outer).center());
  // the right and bottom edges first: a window larger than the area keeps its top-left corner on it
  const int x = std::max(area.left(), std::min(topLeft.x(), area.left() + area.width() - outer.width()));
  const int y = std::max(area.top(), std::min(topLeft.y(), area.top() + area.height() - outer.height()));
  return {x, y};
}

void GiveEveryWindowABaseSize() {
  static QObject* giver = nullptr;
  if (giver || !qApp) return;
  giver = new BaseSizeGiver(qApp);
  qApp->installEventFilter(giver);
  QObject::connect(qApp, &QObject::destroyed, [] { giver = nullptr; });
  // the windows made before
  for (QWindow* w : QGuiApplication::topLevelWindows())
    if (w->handle() && (w->baseSize().width() < 0 || w->baseSize().height() < 0))
      w->setBaseSize(w->baseSize().expandedTo(QSize(0, 0)));
}

}  // namespace rt::detail
