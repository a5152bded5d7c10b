#pragma once
// What the intrinsic controls share among themselves: colour numbers and texts in the toolkit's terms, the
// mouse's buttons and pointers, and the drawing of a windowless control's back and border. For the
// controls' own sources only.

#include <QColor>
#include <QPalette>
#include <QString>
#include <Qt>
#include <string>

#include "platform/runtime/Text.h"

class QPainter;
class QRect;
class QWidget;

namespace rt::detail {

// A colour number, or (with the high bit set) one of the desktop's colours by its index: the forms' own
// palette's, which they are drawn with.
QColor ToQColor(long c);
inline long FromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }
// A text of the program as the toolkit shows it: bytes that are no UTF-8 are read as Windows-1252.
inline QString Q(const std::string& s) { return text::ToQt(s); }
inline std::string S(const QString& s) { return s.toStdString(); }
// Text boxes keep their lines with CR LF between them, as the program writes and reads them.
std::string WithCrLf(QString s);

inline int ButtonOf(Qt::MouseButton b) {
  return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : 4;
}
inline int ButtonsOf(Qt::MouseButtons b) {
  return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

// The mouse pointer of a MousePointer value: 11 hourglass, 15 four-way sizing, 1 arrow, 99 a pointing hand
// (the links' own); false for the default.
bool CursorOf(int pointer, Qt::CursorShape& shape);

// What the container passes a windowless control's FaceMouse.
enum FaceEvent : int { faceDown = 1, faceUp = 2, faceClick = 3, faceDblClick = 4, faceMove = 5 };

// The palette a windowless control draws with: its container's, with its own colours where set.
QPalette FacePalette(const QWidget* container, long back, long fore);
// A windowless control's back colour (when `fill`) and its sunken border (when `border`).
void PaintBackAndBorder(QPainter& painter, const QRect& r, const QPalette& palette, bool fill, int border);

}  // namespace rt::detail
