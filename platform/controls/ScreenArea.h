#pragma once
// A window's room on the screen: the largest size and the place a top-level window may have inside the
// screen's available area (the screen less its panels and docks), and size hints that a window manager may
// apply as they are.
//
// Sizes and places go in and out in the toolkit's pixels of the window, but are reckoned in the screen's
// own: on a scaled desktop (a font DPI of 144 makes a pixel of the window 1.5 of the screen's) the toolkit
// rounds every conversion, and a window placed by its own pixels could stand a pixel inside a panel. On X
// the available area and the frame are read as the window manager tells them (_NET_WORKAREA and
// _NET_FRAME_EXTENTS), which are exact and, for the frame, newer than what the toolkit may have kept.

#include <QPoint>
#include <QSize>

class QByteArray;
class QWidget;

namespace rt::detail {

// The largest size the inside of the top-level `window` may have on the screen it stands on: that screen's
// available area less the window's frame (none is counted before the desktop has framed it).
QSize LargestSize(const QWidget* window);
// Where the inside of the top-level `window` (its geometry, frame not included) stands when asked to stand at
// `inside`: as near to it as it can with all of the window and its frame inside the available area of the
// screen there, and where it is larger than that area, with its frame's top-left corner at the area's.
QPoint PlaceInside(const QWidget* window, const QPoint& inside);
// Where the shown top-level `window` stands on the screen otherwise than the toolkit holds, larger than its
// room or outside the available area (as the X server says), asks the window manager again for the place and
// size the toolkit holds, which are inside: a window manager may drop what the program asks while it takes a
// new window in (fluxbox), and the toolkit may never hear of it.
void PutBackInside(const QWidget* window);
// Takes note of a native event of a top-level window that these functions read for: true when it tells that
// the window manager has set or changed the window's frame. Every window they read for must pass its native
// events here.
bool NoteFrameChange(const QByteArray& eventType, const void* message);

// Every top-level window of the program, from the first form on, tells the window manager a base size of 0
// by 0 with its size hints. Left to itself the toolkit tells none as -1 by -1, and on a scaled desktop
// (a font DPI of 120 or 144) sends that scaled, as a base size of -1 or -2 with a resize increment of 1 or
// 2, which a window manager that applies the hints as they are (fluxbox) turns into a window of 65534 by
// 65534 pixels.
void GiveEveryWindowABaseSize();

}  // namespace rt::detail
