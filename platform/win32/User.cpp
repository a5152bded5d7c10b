#include "platform/win32/User.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QPixmap>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "platform/runtime/Handles.h"

namespace win32 {
namespace {

// What the layer keeps of a window besides the widget: its procedure and its style.
struct WindowData {
  long proc = reinterpret_cast<long>(&DefWindowProcA);
  long style = 0;
};

// Kept for the whole process: objects destroyed after main (a tooltip object held in a static) still
// destroy their windows through it.
std::map<long, WindowData>& Windows() {
  static auto* windows = new std::map<long, WindowData>;
  return *windows;
}

WindowData* DataOf(long hWnd) {
  if (!rt::WidgetOf(hWnd)) {
    Windows().erase(hWnd);
    return nullptr;
  }
  return &Windows()[hWnd];
}

// Moves a window with the mouse until its button is released, where the window system cannot. The
// window keeps its distance to the pointer as it was at `grab`.
class WindowDrag : public QObject {
 public:
  WindowDrag(QWidget* window, QPoint grab) : window_(window), offset_(grab - window->pos()) {
    qApp->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    const bool held = e->type() == QEvent::MouseMove && static_cast<QMouseEvent*>(e)->buttons() != Qt::NoButton;
    if (held && window_) {
      window_->move(static_cast<QMouseEvent*>(e)->globalPosition().toPoint() - offset_);
    } else if (e->type() == QEvent::MouseButtonRelease || e->type() == QEvent::MouseMove) {
      // released, or moving with no button held: a release this program did not see
      qApp->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }

 private:
  QPointer<QWidget> window_;
  QPoint offset_;
};

// A press that may become a move of its window: the window manager's move starts only once the pointer
// has gone past the drag distance with a button held. Until then the press, its release and a second
// press (a double click) stay with the program; a window manager that moves the window takes every press
// that comes while it does.
class PendingMove : public QObject {
 public:
  explicit PendingMove(QWidget* window) : window_(window) {
    if (Current()) Current()->End();
    Current() = this;
    qApp->installEventFilter(this);
  }
  ~PendingMove() override {
    if (Current() == this) Current() = nullptr;
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseMove: {
        const auto* m = static_cast<QMouseEvent*>(e);
        if (m->buttons() == Qt::NoButton) {
          End();
          break;
        }
        // measured from where the pointer was first seen moving with the button held
        const QPoint at = m->globalPosition().toPoint();
        if (!from_) from_ = at;
        if ((at - *from_).manhattanLength() < QApplication::startDragDistance()) break;
        QPointer<QWidget> window = window_;
        const QPoint grab = *from_;
        const bool leftButton = m->buttons() & Qt::LeftButton;
        End();
        if (!window) break;
        // The window manager's move is a move with the left button: one that another button started would
        // not end at that button's release under every window manager, so the program moves the window itself.
        QWindow* handle = window->windowHandle();
        if (!(leftButton && handle && handle->startSystemMove())) new WindowDrag(window, grab);
        break;
      }
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        End();
        break;
      default: break;
    }
    return false;
  }

 private:
  static PendingMove*& Current() {
    static PendingMove* current = nullptr;
    return current;
  }
  void End() {
    if (Current() == this) Current() = nullptr;
    qApp->removeEventFilter(this);
    deleteLater();
  }

  QPointer<QWidget> window_;
  std::optional<QPoint> from_;
};

QColor ColorOf(long c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A window of the tooltip class: shows a tool's text when the mouse rests on the tool, as a rectangle or
// as a balloon with a stem pointing at the mouse (or at the tool's middle for a centred tool).
class TooltipWindow : public QWidget {
 public:
  struct Tool {
    long hwnd, uId, flags;
    QString text;
    QPointer<QWidget> widget;
  };

  TooltipWindow() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    initial_.setSingleShot(true);
    autopop_.setSingleShot(true);
    connect(&initial_, &QTimer::timeout, this, [this] { Pop(); });
    connect(&autopop_, &QTimer::timeout, this, [this] { hide(); });
  }
  ~TooltipWindow() override {
    for (Tool& t : tools_)
      if (t.widget) t.widget->removeEventFilter(this);
  }

  QColor back{0xFF, 0xFF, 0xE1}, text{Qt::black};
  int initialMs = 500, autopopMs = 5000, maxWidth = -1;
  long* style = nullptr;

  bool Balloon() const { return style && (*style & TTS_BALLOON); }
  QString Shown() const { return isVisible() ? current_ : QString(); }

  void Add(const TOOLINFOA& info) {
    Remove(info.hwnd, info.uId);
    Tool tool{info.hwnd, info.uId, info.uFlags, QString::fromLocal8Bit(info.lpszText ? info.lpszText : ""), {}};
    if (info.uFlags & TTF_IDISHWND) tool.widget = rt::WidgetOf(info.uId);
    if (tool.widget && (info.uFlags & TTF_SUBCLASS)) tool.widget->installEventFilter(this);
    tools_.push_back(tool);
  }

  void Remove(long hwnd, long uId) {
    for (auto it = tools_.begin(); it != tools_.end(); ++it) {
      if (it->hwnd == hwnd && it->uId == uId) {
        if (it->widget) it->widget->removeEventFilter(this);
        if (active_ == it->widget) Cancel();
        tools_.erase(it);
        return;
      }
    }
  }

  void ShowNow(QWidget* toolWidget) {
    active_ = toolWidget;
    Pop();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    auto* w = qobject_cast<QWidget*>(watched);
    switch (e->type()) {
      case QEvent::Enter:
        active_ = w;
        initial_.start(initialMs);
        break;
      case QEvent::Leave:
      case QEvent::MouseButtonPress:
      case QEvent::Hide:
        if (active_ == w) Cancel();
        break;
      default:
        break;
    }
    return false;
  }

  // The outline of the tip: a rectangle, or a rounded balloon with its stem.
  QPainterPath Outline(const QRectF& body) const {
    QPainterPath path;
    if (!Balloon()) {
      path.addRect(body);
      return path;
    }
    path.addRoundedRect(body, 8, 8);
    QPainterPath stem;
    const double x = std::clamp<double>(stemX_, body.left() + 12, body.right() - 24);
    stem.moveTo(x, body.top() + 1);
    stem.lineTo(x, 1);
    stem.lineTo(x + 14, body.top() + 1);
    return path.united(stem);
  }

  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body = rect().adjusted(1, Balloon() ? kStem + 1 : 1, -1, -1);
    const QPainterPath path = Outline(body);
    p.setPen(QPen(QColor(0x76, 0x76, 0x76), 1));
    p.setBrush(back);
    p.drawPath(path);
    p.setPen(text);
    p.setFont(font());
    p.drawText(body.adjusted(kPad, kPad, -kPad, -kPad), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, current_);
  }

 private:
  static constexpr int kStem = 12, kPad = 6;

  void Cancel() {
    initial_.stop();
    autopop_.stop();
    hide();
    active_ = nullptr;
  }

  void Pop() {
    if (!active_) return;
    const Tool* tool = nullptr;
    for (const Tool& t : tools_)
      if (t.widget == active_) tool = &t;
    if (!tool || tool->text.isEmpty()) return;
    current_ = tool->text;
    current_.replace("\r\n", "\n");
    // lines wider than the maximum width are wrapped; the others keep their length
    const QFontMetrics fm(font());
    const int limit = maxWidth > 0 ? maxWidth : 10000;
    const QRect text = fm.boundingRect(QRect(0, 0, limit, 10000), Qt::AlignLeft | Qt::TextWordWrap, current_);
    const int top = Balloon() ? kStem : 0;
    resize(text.width() + 2 * kPad + 4, text.height() + 2 * kPad + 4 + top);
    QPoint at;
    if (tool->flags & TTF_CENTERTIP) {
      const QPoint below = active_->mapToGlobal(QPoint(active_->width() / 2, active_->height()));
      at = QPoint(below.x() - width() / 2, below.y());
    } else {
      at = QCursor::pos() + QPoint(-16, 20);
    }
    if (const QScreen* s = QGuiApplication::screenAt(at)) {
      const QRect area = s->availableGeometry();
      at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
      at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    stemX_ = (tool->flags & TTF_CENTERTIP) ? width() / 2 - 7 : 14;
    // the window takes the outline's shape, so nothing around a balloon shows, with or without compositing
    const QRectF body = rect().adjusted(0, Balloon() ? kStem : 0, 0, 0);
    setMask(QRegion(Outline(body).toFillPolygon().toPolygon()));
    move(at);
    show();
    update();
    autopop_.start(autopopMs);
  }

  std::vector<Tool> tools_;
  QPointer<QWidget> active_;
  QTimer initial_, autopop_;
  QString current_;
  int stemX_ = 14;
};

TooltipWindow* TooltipOf(long hWnd) { return dynamic_cast<TooltipWindow*>(rt::WidgetOf(hWnd)); }

long TooltipMessage(TooltipWindow* tip, long msg, long wParam, long lParam) {
  switch (msg) {
    case TTM_SETTIPTEXTCOLOR: tip->text = ColorOf(wParam); return 0;
    case TTM_SETTIPBKCOLOR: tip->back = ColorOf(wParam); return 0;
    case TTM_SETMAXTIPWIDTH: {
      const long old = tip->maxWidth;
      tip->maxWidth = static_cast<int>(lParam);
      return old;
    }
    case TTM_SETDELAYTIME:
      if (wParam == TTDT_INITIAL) tip->initialMs = static_cast<int>(lParam);
      if (wParam == TTDT_AUTOPOP) tip->autopopMs = static_cast<int>(lParam);
      return 0;
    case TTM_ADDTOOLA:
      if (!lParam) return 0;
      tip->Add(*reinterpret_cast<const TOOLINFOA*>(lParam));
      return 1;
    case TTM_DELTOOLA:
      if (lParam) {
        const auto* info = reinterpret_cast<const TOOLINFOA*>(lParam);
        tip->Remove(info->hwnd, info->uId);
      }
      return 0;
    default: return 0;
  }
}

}  // namespace

long ReleaseCapture() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  return 1;
}

long DefWindowProcA(long hWnd, long msg, long wParam, long lParam) {
  QWidget* w = rt::WidgetOf(hWnd);
  if (!w) return 0;
  if (TooltipWindow* tip = TooltipOf(hWnd)) return TooltipMessage(tip, msg, wParam, lParam);
  if (msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
    new PendingMove(w->window());
  }
  return 0;
}

long SendMessageA(long hWnd, long msg, long wParam, long lParam) {
  WindowData* data = DataOf(hWnd);
  if (!data) return 0;
  return CallWindowProcA(data->proc, hWnd, msg, wParam, lParam);
}

long CallWindowProcA(long prevWndProc, long hWnd, long msg, long wParam, long lParam) {
  if (!prevWndProc) return 0;
  return reinterpret_cast<WNDPROC>(prevWndProc)(hWnd, msg, wParam, lParam);
}

long SetWindowLongA(long hWnd, long index, long newLong) {
  WindowData* data = DataOf(hWnd);
  if (!data) return 0;
  long* field = index == GWL_WNDPROC ? &data->proc : index == GWL_STYLE ? &data->style : nullptr;
  if (!field) return 0;
  const long old = *field;
  *field = newLong;
  if (index == GWL_STYLE)
    if (TooltipWindow* tip = TooltipOf(hWnd)) tip->update();
  return old;
}

long GetWindowLongA(long hWnd, long index) {
  WindowData* data = DataOf(hWnd);
  if (!data) return 0;
  return index == GWL_WNDPROC ? data->proc : index == GWL_STYLE ? data->style : 0;
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

long CreateWindowExA(long, const char* className, const char*, long style, long, long, long, long, long, long,
                     long, long) {
  if (!className || QString::fromLatin1(className).compare("tooltips_class32", Qt::CaseInsensitive) != 0) return 0;
  auto* tip = new TooltipWindow();
  const long h = rt::HandleOf(tip);
  WindowData& data = Windows()[h];
  data.style = style;
  tip->style = &data.style;
  return h;
}

long DestroyWindow(long hWnd) {
  QWidget* w = rt::WidgetOf(hWnd);
  if (!w) return 0;
  Windows().erase(hWnd);
  // Once the application object is gone (static objects destroyed at the end of the process), the window
  // system has already let go of its windows and the widget is left to the process's end.
  if (QCoreApplication::instance()) delete w;
  return 1;
}

namespace {

std::map<long, std::vector<std::string>>& SystemMenus() {
  static auto* menus = new std::map<long, std::vector<std::string>>;
  return *menus;
}

const std::vector<std::string> kStandardSystemMenu = {"Restore", "Move", "Size", "Minimize", "Maximize", "", "Close"};

// The menu handle names its window: the window's handle with the lowest bit set.
long WindowOfMenu(long hMenu) { return hMenu & ~1L; }

void ApplySystemMenu(long hWnd) {
  QWidget* w = rt::WidgetOf(hWnd);
  if (!w) return;
  const auto& items = SystemMenus()[hWnd];
  const bool canClose = std::find(items.begin(), items.end(), "Close") != items.end();
  QWidget* top = w->window();
  top->setProperty("rt_noclose", !canClose);
  const bool shown = top->isVisible();
  top->setWindowFlag(Qt::WindowCloseButtonHint, canClose);
  if (shown) top->show();
}

}  // namespace

long GetSystemMenu(long hWnd, long bRevert) {
  if (!rt::WidgetOf(hWnd)) return 0;
  auto& menus = SystemMenus();
  if (bRevert || !menus.count(hWnd)) {
    menus[hWnd] = kStandardSystemMenu;
    ApplySystemMenu(hWnd);
  }
  return hWnd | 1L;
}

long RemoveMenu(long hMenu, long nPosition, long wFlags) {
  const long hWnd = WindowOfMenu(hMenu);
  auto it = SystemMenus().find(hWnd);
  if (it == SystemMenus().end() || !(wFlags & MF_BYPOSITION)) return 0;
  if (nPosition < 0 || nPosition >= static_cast<long>(it->second.size())) return 0;
  it->second.erase(it->second.begin() + nPosition);
  ApplySystemMenu(hWnd);
  return 1;
}

std::vector<std::string> SystemMenuItems(long hMenu) {
  auto it = SystemMenus().find(WindowOfMenu(hMenu));
  return it == SystemMenus().end() ? std::vector<std::string>() : it->second;
}

void keybd_event(long bVk, long, long dwFlags, long) {
  constexpr long KEYEVENTF_KEYUP = 2;
  if (bVk != VK_SNAPSHOT || (dwFlags & KEYEVENTF_KEYUP)) return;
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QPixmap shot = screen->grabWindow(0);
  if (!shot.isNull()) QGuiApplication::clipboard()->setPixmap(shot);
}

long InitCommonControlsEx(const INITCOMMONCONTROLSEX& icc) { return icc.dwSize == 8 ? 1 : 0; }

void InitCommonControls() {}

std::string ShownTipText(long tooltipWindow) {
  TooltipWindow* tip = TooltipOf(tooltipWindow);
  return tip ? tip->Shown().toStdString() : std::string();
}

bool ShownTipIsBalloon(long tooltipWindow) {
  TooltipWindow* tip = TooltipOf(tooltipWindow);
  return tip && tip->isVisible() && tip->Balloon();
}

void ShowTipNow(long tooltipWindow, long toolHandle) {
  if (TooltipWindow* tip = TooltipOf(tooltipWindow)) tip->ShowNow(rt::WidgetOf(toolHandle));
}

}  // namespace win32
