#include "platform/win32/Shell.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <QVariantAnimation>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/runtime/Events.h"
#include "platform/runtime/Handles.h"
#include "platform/runtime/Launch.h"

namespace win32 {
namespace {

struct TrayIcon {
  std::unique_ptr<QSystemTrayIcon> icon;
  long callback = 0;
  std::string tip;
};

std::map<std::pair<long, long>, TrayIcon>& Icons() {
  static auto* icons = new std::map<std::pair<long, long>, TrayIcon>;
  return *icons;
}

// Icons removed from the notification area: hidden at once, destroyed at the next call, since the
// removal may come from code that the icon's own mouse handling is still running under.
std::vector<std::unique_ptr<QSystemTrayIcon>>& Retired() {
  static auto* retired = new std::vector<std::unique_ptr<QSystemTrayIcon>>;
  return *retired;
}

void Retire(std::unique_ptr<QSystemTrayIcon> icon) {
  icon->hide();
  Retired().push_back(std::move(icon));
}

QString TipText(const std::string& szTip) {
  const std::string visible = szTip.substr(0, std::min(szTip.find('\0'), static_cast<size_t>(63)));
  return QString::fromLocal8Bit(visible.data(), static_cast<qsizetype>(visible.size()));
}

std::optional<bool> g_trayForTesting;
std::optional<RECT> g_notificationAreaForTesting;

bool TrayAvailable() {
  return g_trayForTesting ? *g_trayForTesting : QSystemTrayIcon::isSystemTrayAvailable();
}

long MouseMessageOf(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::DoubleClick: return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Context: return WM_RBUTTONDOWN;
    case QSystemTrayIcon::MiddleClick: return WM_MBUTTONUP;
    default: return WM_LBUTTONUP;
  }
}

// Hands a mouse action on the icon to its window's procedure as the icon's callback message.
void Deliver(long hWnd, long uID, long mouseMessage) {
  auto it = Icons().find(std::make_pair(hWnd, uID));
  if (it == Icons().end()) return;
  SendMessageA(hWnd, it->second.callback, uID, mouseMessage);
}

// The desktop's taskbar and its notification area are windows of another program: they have handles of
// their own here, which stand for the notification area the desktop has, found where the program's icon
// stood in it. There is a taskbar only while the place of a notification area is known.
constexpr long kTaskbar = -2, kNotificationArea = -3;

// Where the program's icon stood in the notification area, noted when the desktop has taken it in and when
// it is taken away. Until the desktop takes a new icon in it stands at the screen's origin, and one removed
// is in the area no more: the place is remembered, for the next trips.
std::optional<QRect> g_iconPlace;

bool NoteIconPlace(const QSystemTrayIcon& icon) {
  const QRect g = icon.geometry();
  if (!g.isValid() || g.isEmpty() || g.topLeft() == QPoint(0, 0)) return false;
  g_iconPlace = g;
  return true;
}

// True when the desktop shows the program's icons as windows of the program that it takes into its area;
// a desktop that shows them through the message bus tells no place of them.
bool IconsAreWindows() {
  for (const QWidget* w : QApplication::topLevelWidgets())
    if (std::string(w->metaObject()->className()) == "QSystemTrayIconSys") return true;
  return false;
}

// An icon is in the notification area once adding it has succeeded, as the program's first trip to the
// area draws its way to the icon: the desktop takes a new icon in a moment after it is shown.
void WaitUntilTakenIn(const QSystemTrayIcon& added) {
  if (!IconsAreWindows()) return;
  const QPointer<const QSystemTrayIcon> icon(&added);
  rt::WaitForDesktop([&] { return !icon || NoteIconPlace(*icon); }, 1000);
}

std::optional<QRect> NotificationArea() {
  if (const auto& a = g_notificationAreaForTesting)
    return a->right > a->left && a->bottom > a->top
               ? std::optional<QRect>(QRect(a->left, a->top, a->right - a->left, a->bottom - a->top))
               : std::nullopt;
  if (!TrayAvailable()) return std::nullopt;
  return g_iconPlace;
}

}  // namespace

long WindowIconHandle(long hWnd) { return rt::WidgetOf(hWnd) ? hWnd : 0; }

long Shell_NotifyIconA(long dwMessage, const NOTIFYICONDATA& data) {
  const auto key = std::make_pair(data.hWnd, data.uID);
  auto& icons = Icons();
  Retired().clear();
  if (dwMessage == NIM_DELETE) {
    auto it = icons.find(key);
    if (it == icons.end()) return 0;
    NoteIconPlace(*it->second.icon);
    Retire(std::move(it->second.icon));
    icons.erase(it);
    return 1;
  }
  if (dwMessage != NIM_ADD && dwMessage != NIM_MODIFY) return 0;
  if (dwMessage == NIM_ADD && icons.count(key)) return 0;
  // Without a notification area (no tray on the desktop, offscreen) no icon can be added.
  if (dwMessage == NIM_ADD && !TrayAvailable()) return 0;
  if (dwMessage == NIM_MODIFY && !icons.count(key)) return 0;
  TrayIcon& t = icons[key];
  const bool added = !t.icon;
  if (added) {
    t.icon = std::make_unique<QSystemTrayIcon>();
    const long hWnd = data.hWnd, uID = data.uID;
    // The window procedure gets the click after the icon's own mouse handling has ended: what it does
    // (a menu, the icon removed, the window shown) must not run under the icon's event handler.
    QObject::connect(
        t.icon.get(), &QSystemTrayIcon::activated, qApp,
        [hWnd, uID](QSystemTrayIcon::ActivationReason r) { Deliver(hWnd, uID, MouseMessageOf(r)); },
        Qt::QueuedConnection);
  }
  if (data.uFlags & NIF_MESSAGE) t.callback = data.uCallbackMessage;
  if (data.uFlags & NIF_ICON) {
    QWidget* owner = rt::WidgetOf(data.hIcon);
    QIcon icon = owner ? owner->window()->windowIcon() : QIcon();
    if (icon.isNull()) icon = QGuiApplication::windowIcon();
    t.icon->setIcon(icon);
  }
  if (data.uFlags & NIF_TIP) {
    t.tip = TipText(data.szTip).toStdString();
    t.icon->setToolTip(QString::fromStdString(t.tip));
  }
  t.icon->show();
  // what runs meanwhile may take the icon away again
  if (added) WaitUntilTakenIn(*t.icon);
  return 1;
}

long FindWindowA(const char* className, const char*) {
  if (className && std::string(className) == "Shell_TrayWnd" && NotificationArea()) return kTaskbar;
  return 0;
}

long GetWindow(long hWnd, long cmd) { return hWnd == kTaskbar && cmd == GW_CHILD ? kNotificationArea : 0; }

long GetClassNameA(long hWnd, std::string& buffer, long size) {
  QWidget* w = rt::WidgetOf(hWnd);
  if ((!w && hWnd != kTaskbar && hWnd != kNotificationArea) || size <= 0) return 0;
  const std::string name = hWnd == kTaskbar            ? "Shell_TrayWnd"
                           : hWnd == kNotificationArea ? "TrayNotifyWnd"
                                                       : w->metaObject()->className();
  const std::string copied = name.substr(0, static_cast<size_t>(size - 1));
  buffer.assign(copied);
  buffer.push_back('\0');
  return static_cast<long>(copied.size());
}

long GetWindowRect(long hWnd, RECT& rect) {
  QWidget* w = rt::WidgetOf(hWnd);
  const std::optional<QRect> area = hWnd == kNotificationArea ? NotificationArea() : std::nullopt;
  if (!w && !area) return 0;
  const QRect g = area ? *area : w->window()->frameGeometry();
  rect = RECT{g.left(), g.top(), g.right() + 1, g.bottom() + 1};
  return 1;
}

long DrawAnimatedRects(long, long, const RECT& from, const RECT& to) {
  const QRect a(QPoint(from.left, from.top), QPoint(from.right - 1, from.bottom - 1));
  const QRect b(QPoint(to.left, to.top), QPoint(to.right - 1, to.bottom - 1));
  if (a.isEmpty() || b.isEmpty()) return 0;
  // A grey outline, a window of its own shaped to its edge. It passes over the window and the icon, and a
  // click meanwhile is theirs: it takes no input and no focus. (The toolkit's rubber band, input-transparent
  // too, still lost now and then a click made just as it went, under openbox at 144 DPI.)
  auto* band = new QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                                        Qt::WindowDoesNotAcceptFocus);
  band->setAttribute(Qt::WA_TransparentForMouseEvents);
  band->setAttribute(Qt::WA_ShowWithoutActivating);
  QPalette grey = band->palette();
  grey.setColor(QPalette::Window, Qt::darkGray);
  band->setPalette(grey);
  band->setAutoFillBackground(true);
  auto outline = [band](const QRect& r) {
    band->setGeometry(r);
    band->setMask(QRegion(0, 0, r.width(), r.height()).subtracted(QRegion(2, 2, r.width() - 4, r.height() - 4)));
  };
  outline(a);
  band->show();
  auto* move = new QVariantAnimation(band);
  move->setDuration(200);
  move->setStartValue(a);
  move->setEndValue(b);
  QObject::connect(move, &QVariantAnimation::valueChanged, band, [outline](const QVariant& v) { outline(v.toRect()); });
  QObject::connect(move, &QVariantAnimation::finished, band, &QObject::deleteLater);
  move->start();
  return 1;
}

long ShellExecuteA(long, const std::string&, const std::string& file, const std::string&, const std::string&, long) {
  const QString target = QString::fromStdString(file);
  if (!target.isEmpty() && QFileInfo::exists(target)) return rt::Launch({rt::Launched::Document, file, {}}) ? 42 : 31;
  const QUrl url(target, QUrl::StrictMode);
  if (!url.isValid() || url.isEmpty()) return 2;                   // file not found
  return rt::Launch({rt::Launched::Address, file, {}}) ? 42 : 31;  // 31: no program is associated
}

namespace testing {

bool ClickTrayIcon(long hWnd, long uID, long mouseMessage) {
  auto it = Icons().find(std::make_pair(hWnd, uID));
  if (it == Icons().end()) return false;
  QPointer<QSystemTrayIcon> icon = it->second.icon.get();
  const auto reason = mouseMessage == WM_LBUTTONDBLCLK ? QSystemTrayIcon::DoubleClick
                      : mouseMessage == WM_RBUTTONDOWN ? QSystemTrayIcon::Context
                      : mouseMessage == WM_MBUTTONUP   ? QSystemTrayIcon::MiddleClick
                                                       : QSystemTrayIcon::Trigger;
  // as the desktop's icon does from its own mouse event, which goes on using the icon afterwards
  emit icon->activated(reason);
  const bool survived = !icon.isNull();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
  return survived;
}

void SetTrayAvailable(std::optional<bool> available) {
  g_trayForTesting = available;
}

void SetNotificationArea(std::optional<RECT> area) { g_notificationAreaForTesting = area; }

bool TrayIconShown(long hWnd, long uID) { return Icons().count(std::make_pair(hWnd, uID)) > 0; }

std::string TrayIconTip(long hWnd, long uID) {
  auto it = Icons().find(std::make_pair(hWnd, uID));
  return it == Icons().end() ? std::string() : it->second.tip;
}

}  // namespace testing
}  // namespace win32
