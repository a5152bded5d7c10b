#include "platform/win32/User.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "platform/runtime/Handles.h"

namespace win32 {
namespace {

// Moves a window with the mouse until its button is released, where the window system cannot.
class WindowDrag : public QObject {
 public:
  WindowDrag(QWidget* window) : window_(window), offset_(QCursor::pos() - window->pos()) {
    qApp->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::MouseMove) {
      window_->move(static_cast<QMouseEvent*>(e)->globalPosition().toPoint() - offset_);
      return false;
    }
    if (e->type() == QEvent::MouseButtonRelease) {
      qApp->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }

 private:
  QWidget* window_;
  QPoint offset_;
};

}  // namespace

long ReleaseCapture() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  return 1;
}

long SendMessageA(long hWnd, long msg, long wParam, long /*lParam*/) {
  if (msg != WM_NCLBUTTONDOWN || wParam != HTCAPTION) return 0;
  QWidget* w = rt::WidgetOf(hWnd);
  if (!w) return 0;
  QWidget* top = w->window();
  QWindow* handle = top->windowHandle();
  if (handle && handle->startSystemMove()) return 0;
  new WindowDrag(top);
  return 0;
}

long SetWindowPos(long hWnd, long hWndInsertAfter, long x, long y, long cx, long cy, long flags) {
  QWidget* w = rt::WidgetOf(hWnd);
  if (!w) return 0;
  QWidget* top = w->window();
  if (hWndInsertAfter == HWND_TOPMOST || hWndInsertAfter == HWND_NOTOPMOST) {
    const bool shown = top->isVisible();
    top->setWindowFlag(Qt::WindowStaysOnTopHint, hWndInsertAfter == HWND_TOPMOST);
    if (shown) top->show();
  }
  if (!(flags & SWP_NOMOVE)) top->move(static_cast<int>(x), static_cast<int>(y));
  if (!(flags & SWP_NOSIZE)) top->resize(static_cast<int>(cx), static_cast<int>(cy));
  return 1;
}

}  // namespace win32
