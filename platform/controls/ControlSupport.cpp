#include "platform/controls/ControlSupport.h"

#include <qdrawutil.h>

#include <QPainter>
#include <QRect>
#include <QWidget>

#include "platform/controls/Form.h"

namespace rt::detail {

QColor ToQColor(long c) {
  if (c & 0x80000000L) {
    const QPalette p = DesignPalette();
    switch (c & 0xFF) {
      case 0x05: return p.color(QPalette::Base);
      case 0x08: return p.color(QPalette::Text);
      case 0x0D: return p.color(QPalette::Highlight);
      case 0x0E: return p.color(QPalette::HighlightedText);
      case 0x0F: return p.color(QPalette::Button);
      case 0x12: return p.color(QPalette::ButtonText);
      default: return p.color(QPalette::WindowText);
    }
  }
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

std::string WithCrLf(QString s) { return s.replace("\r\n", "\n").replace('\n', "\r\n").toStdString(); }

bool CursorOf(int pointer, Qt::CursorShape& shape) {
  switch (pointer) {
    case 11: shape = Qt::WaitCursor; return true;
    case 15: shape = Qt::SizeAllCursor; return true;
    case 1: shape = Qt::ArrowCursor; return true;
    case 99: shape = Qt::PointingHandCursor; return true;
    default: return false;
  }
}

QPalette FacePalette(const QWidget* container, long back, long fore) {
  QPalette p = container ? container->palette() : DesignPalette();
  if (back >= 0) p.setColor(QPalette::Window, ToQColor(back));
  if (fore >= 0) p.setColor(QPalette::WindowText, ToQColor(fore));
  return p;
}

void PaintBackAndBorder(QPainter& painter, const QRect& r, const QPalette& palette, bool fill, int border) {
  if (fill) painter.fillRect(r, palette.color(QPalette::Window));
  if (!border) return;
  // A sunken edge, dark above and on the left; below and on the right the palette's light colour would be
  // lost on the light background around the control.
  QPalette edge = palette;
  edge.setColor(QPalette::Light, palette.color(QPalette::Mid));
  qDrawShadePanel(&painter, r, edge, true, 1);
}

}  // namespace rt::detail
