#include "platform/controls/X11Desktop.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace rt::detail {

xcb_connection_t* X11Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

uint32_t X11Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::char_traits<char>::length(name)), name),
                            nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

// A window not mapped yet carries its states in _NET_WM_STATE, which the window manager reads when it maps
// it; the toolkit adds its own states to those it finds there, and the window manager removes the property
// when the window is hidden, so it is set before every show.
void KeepOutOfTaskbar(QWidget* window) {
  xcb_connection_t* c = X11Connection();
  if (!c || window->isVisible()) return;
  const auto id = static_cast<xcb_window_t>(window->winId());
  const xcb_atom_t state = X11Atom(c, "_NET_WM_STATE");
  std::vector<xcb_atom_t> states;
  xcb_get_property_reply_t* now =
      xcb_get_property_reply(c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
  if (now && now->format == 32 && now->type == XCB_ATOM_ATOM) {
    const auto* held = static_cast<const xcb_atom_t*>(xcb_get_property_value(now));
    states.assign(held, held + xcb_get_property_value_length(now) / sizeof(xcb_atom_t));
  }
  free(now);
  for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
    const xcb_atom_t a = X11Atom(c, name);
    if (a != XCB_ATOM_NONE && std::find(states.begin(), states.end(), a) == states.end()) states.push_back(a);
  }
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()),
                      states.data());
  xcb_flush(c);
}

}  // namespace rt::detail
