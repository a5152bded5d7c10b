#include "platform/controls/TextExtent.h"

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QString>

#include "platform/controls/Controls.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Text.h"

namespace rt {

Extent TextExtent(Control& control, const std::string& text, double width) {
  QFont font(QString::fromStdString(control.FontName()));
  font.setPointSizeF(control.FontSize());
  font.setBold(control.FontBold());
  const QRect box =
      QFontMetrics(font).boundingRect(QRect(0, 0, std::max(1, ToPixelsX(width)), 1 << 20),
                                      Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text::ToQt(text));
  return {box.width() * TwipsPerPixelX(), box.height() * TwipsPerPixelY()};
}

}  // namespace rt
