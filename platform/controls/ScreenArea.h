#pragma once
// A window's room on the screen: the screen's available area (the screen less its panels and docks), the
// largest size and the place a top-level window may have in it, and size hints that a window manager may
// apply as they are. All in the toolkit's pixels of the window.

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace rt::detail {

// The available area of the screen that holds `at`; of the window's own screen when no screen holds it.
QRect AvailableArea(const QWidget* window, const QPoint& at);
// The largest size the inside of the top-level `window` may have on the screen it stands on: that screen's
// available area less the window's frame (none is counted while the desktop has not framed it yet).
QSize LargestSize(const QWidget* window);
// Where the top-level `window` (its frame's top-left corner) stands when asked to stand at `topLeft`: as near
// to it as it can with all of it inside the available area of the screen there, and where it is larger than
// that area, with its top-left corner at the area's.
QPoint PlaceInside(const QWidget* window, const QPoint& topLeft);

// Every top-level window of the program, from the first form on, tells the window manager a base size of 0
// by 0 with its size hints. Left to itself the toolkit tells none as -1 by -1, and on a scaled desktop
// (a font DPI of 120 or 144) sends that scaled, as a base size of -1 or -2 with a resize increment of 1 or
// 2, which a window manager that applies the hints as they are (fluxbox) turns into a window of 65534 by
// 65534 pixels.
void GiveEveryWindowABaseSize();

}  // namespace rt::detail
