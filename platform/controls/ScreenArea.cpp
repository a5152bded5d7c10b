#include "platform/controls/ScreenArea.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPlatformSurfaceEvent>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/controls/X11Desktop.h"

namespace rt::detail {

namespace {

// ---- what the window manager tells on X

// The atoms this file reads, asked of the X server once for each connection.
struct Atoms {
  xcb_connection_t* connection = nullptr;
  xcb_atom_t frameExtents = XCB_ATOM_NONE, workArea = XCB_ATOM_NONE;
};

const Atoms& AtomsOf(xcb_connection_t* c) {
  static Atoms atoms;
  if (atoms.connection != c) {
    atoms.connection = c;
    atoms.frameExtents = X11Atom(c, "_NET_FRAME_EXTENTS");
    atoms.workArea = X11Atom(c, "_NET_WORKAREA");
  }
  return atoms;
}

// The first four values of a property of type CARDINAL, or none.
std::optional<std::vector<uint32_t>> FourCardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
  if (property == XCB_ATOM_NONE) return std::nullopt;
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_CARDINAL, 0, 4), nullptr);
  std::optional<std::vector<uint32_t>> values;
  if (reply && reply->type == XCB_ATOM_CARDINAL && reply->format == 32 && xcb_get_property_value_length(reply) >= 16) {
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    values.emplace(v, v + 4);
  }
  std::free(reply);
  return values;
}

// What was read, kept until it may have changed: the work area while the toolkit's available area of the
// screen stays the same (the toolkit follows the work area), a window's frame (or that it has none) until the
// window manager changes it, which the window hears of (NoteFrameChange).
struct Read {
  xcb_connection_t* connection = nullptr;
  QRect available;  // the toolkit's available area when the work area was read
  std::optional<QRect> workArea;
  std::unordered_map<xcb_window_t, std::optional<QMargins>> frames;
};
Read g_read;

Read& ReadOn(xcb_connection_t* c) {
  if (g_read.connection != c) g_read = Read{c, {}, {}, {}};
  return g_read;
}

std::optional<QRect> WorkArea(xcb_connection_t* c, const QRect& available) {
  Read& read = ReadOn(c);
  if (read.available != available || read.available.isNull()) {
    read.available = available;
    read.workArea.reset();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (auto v = FourCardinals(c, root, AtomsOf(c).workArea))
      read.workArea = QRect(static_cast<int>((*v)[0]), static_cast<int>((*v)[1]), static_cast<int>((*v)[2]),
                            static_cast<int>((*v)[3]));
  }
  return read.workArea;
}

std::optional<QMargins> FrameExtents(xcb_connection_t* c, xcb_window_t window) {
  auto& frames = ReadOn(c).frames;
  auto it = frames.find(window);
  if (it == frames.end()) {
    std::optional<QMargins> frame;
    if (auto v = FourCardinals(c, window, AtomsOf(c).frameExtents))  // left, right, top, bottom
      frame = QMargins(static_cast<int>((*v)[0]), static_cast<int>((*v)[2]), static_cast<int>((*v)[1]),
                       static_cast<int>((*v)[3]));
    it = frames.emplace(window, frame).first;
  }
  return it->second;
}

// ---- the room of a window, in pixels of the screen

struct Room {
  double ratio = 1;  // pixels of the screen to one of the window
  QPoint origin;     // the screen's top-left corner, the same in pixels of either
  QRect area;        // the available area
  QMargins frame;    // the window's frame
};

// The pixel of the screen where a pixel of the window at `logical` lies, as the toolkit rounds it.
int OnScreen(int logical, int origin, double ratio) { return origin + qRound((logical - origin) * ratio); }

Room RoomOf(const QWidget* window, const QPoint& at) {
  Room room;
  const QScreen* screen = QGuiApplication::screenAt(at);
  if (!screen) screen = window->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) {
    room.area = QRect(0, 0, 1024, 768);
    return room;
  }
  room.ratio = screen->devicePixelRatio();
  const QRect whole = screen->geometry();
  room.origin = whole.topLeft();
  const QRect available = screen->availableGeometry();
  // The toolkit's areas are rounded to its pixels: taken inwards where nothing better is told, outwards for the
  // screen that holds the work area the window manager tells.
  const auto inwards = [&](int v, int origin, bool start) {
    const double at = origin + (v - origin) * room.ratio;
    return static_cast<int>(start ? std::ceil(at - 1e-6) : std::floor(at + 1e-6));
  };
  room.area =
      QRect(QPoint(inwards(available.left(), room.origin.x(), true), inwards(available.top(), room.origin.y(), true)),
            QPoint(inwards(available.left() + available.width(), room.origin.x(), false) - 1,
                   inwards(available.top() + available.height(), room.origin.y(), false) - 1));

  std::optional<QMargins> frame;
  if (xcb_connection_t* c = X11Connection()) {
    if (auto work = WorkArea(c, available)) {
      const QRect screenPixels(room.origin, QSize(std::ceil(whole.width() * room.ratio - 1e-6),
                                                  std::ceil(whole.height() * room.ratio - 1e-6)));
      if (const QRect area = *work & screenPixels; !area.isEmpty()) room.area = area;
    }
    const QWindow* handle = window->windowHandle();
    if (handle && handle->handle() && window->internalWinId())
      frame = FrameExtents(c, static_cast<xcb_window_t>(window->internalWinId()));
  }
  if (!frame) {
    const QMargins told = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    frame = QMargins(std::ceil(told.left() * room.ratio), std::ceil(told.top() * room.ratio),
                     std::ceil(told.right() * room.ratio), std::ceil(told.bottom() * room.ratio));
  }
  room.frame = *frame;
  return room;
}

// Where the inside of a window, `size` pixels of the screen long, stands along one axis when asked to stand at
// `wanted` (pixels of the window): within [start, end) of the screen with `before` and `after` pixels of frame.
int Along(int wanted, int origin, double ratio, int size, int start, int end, int before, int after) {
  const int lowest = start + before;
  const int highest = std::max(lowest, end - after - size);
  int first = origin + static_cast<int>(std::ceil((lowest - origin) / ratio)) - 1;
  while (OnScreen(first, origin, ratio) < lowest) ++first;
  int last = origin + static_cast<int>(std::floor((highest - origin) / ratio)) + 1;
  while (last > first && OnScreen(last, origin, ratio) > highest) --last;
  return std::clamp(wanted, first, std::max(first, last));
}

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

QSize LargestSize(const QWidget* window) {
  const Room room = RoomOf(window, window->frameGeometry().center());
  const int width = room.area.width() - room.frame.left() - room.frame.right();
  const int height = room.area.height() - room.frame.top() - room.frame.bottom();
  return QSize(std::max(1, static_cast<int>(std::floor(width / room.ratio))),
               std::max(1, static_cast<int>(std::floor(height / room.ratio))));
}

QPoint PlaceInside(const QWidget* window, const QPoint& inside) {
  const Room room = RoomOf(window, QRect(inside, window->size()).center());
  const QSize size = window->size() * room.ratio;  // as the toolkit rounds it
  const QRect& a = room.area;
  return {Along(inside.x(), room.origin.x(), room.ratio, size.width(), a.left(), a.left() + a.width(),
                room.frame.left(), room.frame.right()),
          Along(inside.y(), room.origin.y(), room.ratio, size.height(), a.top(), a.top() + a.height(), room.frame.top(),
                room.frame.bottom())};
}

void PutBackInside(const QWidget* window) {
  xcb_connection_t* c = X11Connection();
  const QWindow* handle = window->windowHandle();
  if (!c || !handle || !handle->handle() || !window->internalWinId() || !window->isVisible()) return;
  const auto id = static_cast<xcb_window_t>(window->internalWinId());
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  // both asked at once: one wait for the two answers
  const xcb_get_geometry_cookie_t sizeAsked = xcb_get_geometry(c, id);
  const xcb_translate_coordinates_cookie_t placeAsked = xcb_translate_coordinates(c, id, root, 0, 0);
  xcb_get_geometry_reply_t* size = xcb_get_geometry_reply(c, sizeAsked, nullptr);
  xcb_translate_coordinates_reply_t* place = xcb_translate_coordinates_reply(c, placeAsked, nullptr);
  if (size && place) {
    const QRect held = window->geometry();
    const Room room = RoomOf(window, held.center());
    const QRect stands = QRect(place->dst_x, place->dst_y, size->width, size->height).marginsAdded(room.frame);
    if (!room.area.contains(stands)) {
      const QSize heldSize = held.size() * room.ratio;  // as the toolkit rounds it
      const uint32_t values[] = {static_cast<uint32_t>(OnScreen(held.x(), room.origin.x(), room.ratio)),
                                 static_cast<uint32_t>(OnScreen(held.y(), room.origin.y(), room.ratio)),
                                 static_cast<uint32_t>(heldSize.width()), static_cast<uint32_t>(heldSize.height())};
      xcb_configure_window(
          c, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
          values);
      xcb_flush(c);
    }
  }
  std::free(size);
  std::free(place);
}

bool NoteFrameChange(const QByteArray& eventType, const void* message) {
  if (!message || eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
  xcb_connection_t* c = X11Connection();
  const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
  if (!c || change->atom != AtomsOf(c).frameExtents) return false;
  ReadOn(c).frames.erase(change->window);
  return true;
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
