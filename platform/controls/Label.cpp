#include "platform/controls/Label.h"

#include <QPainter>
#include <QStaticText>
#include <QTextOption>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Form.h"

namespace rt {

using namespace detail;

struct Label::Layout {
  std::string caption;
  QFont font;
  int width = -1;
  bool wrap = false;
  int alignment = 0;  // lines of a caption are aligned inside its layout
  QStaticText text;
};

Label::Label(Form& owner, std::string name) : Control(owner, std::move(name)) {
  alignment_ = Qt::AlignLeft | Qt::AlignTop;
  AttachWindowless();
}
Label::~Label() = default;
std::string Label::Caption() {
  Touch();
  return caption_;
}
void Label::SetCaption(const std::string& caption) {
  Touch();
  if (caption == caption_) return;
  caption_ = caption;
  Invalidate();
  Fire(Change);
}
void Label::SetAlignment(int alignment) {
  Touch();
  const Qt::Alignment a = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
  alignment_ = static_cast<int>(a | Qt::AlignVCenter);
  Invalidate();
}
bool Label::WordWrap() {
  Touch();
  return wordWrap_;
}
void Label::SetWordWrap(bool wrap) {
  Touch();
  wordWrap_ = wrap;
  Invalidate();
}
void Label::SetBackStyle(int style) {
  Touch();
  SetFill(style == 1);
}
void Label::SetBorderStyle(int style) {
  Touch();
  borderStyle_ = style;
  Invalidate();
}
void Label::PaintFace(QPainter& painter) {
  const QRect r = FaceRect();
  const QPalette palette = FacePalette(FaceContainer(), backColor_, foreColor_);
  PaintBackAndBorder(painter, r, palette, FaceFilled(), borderStyle_);
  if (caption_.empty()) return;
  const QRect area = borderStyle_ ? r.adjusted(1, 1, -1, -1) : r;
  const QFont font = FaceFont();
  const int width = wordWrap_ ? area.width() : -1;
  if (!layout_ || layout_->caption != caption_ || layout_->width != width || layout_->wrap != wordWrap_ ||
      layout_->alignment != alignment_ || layout_->font != font) {
    if (!layout_) layout_ = std::make_unique<Layout>();
    Layout& l = *layout_;
    l.caption = caption_;
    l.font = font;
    l.width = width;
    l.wrap = wordWrap_;
    l.alignment = alignment_;
    // a caption's lines (CR LF, or either alone) break where they end
    QString lines = Q(caption_);
    lines.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator).replace(QLatin1Char('\r'), QChar::LineSeparator);
    l.text = QStaticText(lines);
    l.text.setTextFormat(Qt::PlainText);
    QTextOption option(Qt::Alignment(alignment_ & Qt::AlignHorizontal_Mask));
    option.setWrapMode(wordWrap_ ? QTextOption::WordWrap : QTextOption::NoWrap);
    l.text.setTextOption(option);
    l.text.setTextWidth(width);
    l.text.prepare(QTransform(), font);
  }
  const QSizeF size = layout_->text.size();
  QPointF at(area.left(), area.top());
  if (!wordWrap_ && (alignment_ & Qt::AlignRight)) at.setX(area.right() + 1 - size.width());
  if (!wordWrap_ && (alignment_ & Qt::AlignHCenter)) at.setX(area.left() + (area.width() - size.width()) / 2);
  if (alignment_ & Qt::AlignVCenter) at.setY(area.top() + (area.height() - size.height()) / 2);
  painter.setFont(font);
  const bool enabled = FaceTakesMouse();
  painter.setPen(foreColor_ >= 0 || enabled ? palette.color(QPalette::WindowText)
                                            : palette.color(QPalette::Disabled, QPalette::WindowText));
  painter.drawStaticText(at, layout_->text);
}
void Label::FaceOutOfSight() { layout_.reset(); }
void Label::FaceMouse(int kind, int button) {
  if (form_.Designing() || !form_.IsLoaded()) return;
  switch (kind) {
    case faceDown:
      if (MouseDown) MouseDown(button);
      break;
    case faceUp:
      if (MouseUp) MouseUp(button);
      break;
    case faceClick: Fire(Click); break;
    case faceDblClick: Fire(DblClick); break;
    case faceMove:
      if (MouseMove) MouseMove(button);
      break;
    default: break;
  }
}
void Label::Reset() {
  Control::Reset();
  caption_.clear();
}

}  // namespace rt
