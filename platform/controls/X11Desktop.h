#pragma once
// What the program tells the X desktop, or asks of it, beyond what the toolkit does: the connection and its
// atoms, and that a window has no place in the taskbar. Nothing of it where the program does not run on X.

#include <cstdint>

class QWidget;
struct xcb_connection_t;

namespace rt::detail {

// The program's connection to the X server; null where it does not run on X.
xcb_connection_t* X11Connection();
// An atom of the X server by its name (0, none, when it cannot be had).
uint32_t X11Atom(xcb_connection_t* c, const char* name);

// Marks the top-level `window`, before it is shown, to be left out of the taskbar and the pager.
void KeepOutOfTaskbar(QWidget* window);

}  // namespace rt::detail
