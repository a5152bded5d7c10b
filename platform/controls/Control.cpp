#include "platform/controls/Control.h"

#include <QFont>
#include <QPalette>
#include <QWidget>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Form.h"
#include "platform/controls/WindowlessHost.h"
#include "platform/runtime/Handles.h"

namespace rt {

using namespace detail;

namespace {

unsigned long long g_faceOrder = 0;

void ApplyColors(QWidget* w, long back, long fore) {
  QPalette p = w->palette();
  if (back >= 0) {
    p.setColor(QPalette::Window, ToQColor(back));
    p.setColor(QPalette::Base, ToQColor(back));
    p.setColor(QPalette::Button, ToQColor(back));
  }
  if (fore >= 0) {
    p.setColor(QPalette::WindowText, ToQColor(fore));
    p.setColor(QPalette::Text, ToQColor(fore));
    p.setColor(QPalette::ButtonText, ToQColor(fore));
  }
  w->setPalette(p);
  w->setAutoFillBackground(back >= 0);
}

}  // namespace

Control::Control(Form& owner, std::string name) : form_(owner), name_(std::move(name)) {}

Control::~Control() {
  form_.Release(this);
  if (face_ && face_->host) {
    if (face_->visible) face_->host->Invalidate(face_->rect);
    face_->host->Remove(this);
  }
  delete initialFont_;
  delete widget_;
}

void Control::Reset() {
  backColor_ = foreColor_ = -1;
  if (face_) {
    Face& f = *face_;
    f.font = QFont();
    f.font.setResolveMask(0);
    f.enabled = f.visible = true;
    if (f.host) f.host->Update(this);
    f.fill = false;
    f.toolTip.clear();
    f.pointer = 0;
    Invalidate();
    return;
  }
  if (!initialFont_) initialFont_ = new QFont(widget_->font());
  widget_->setFont(*initialFont_);
  widget_->setEnabled(true);
  widget_->setVisible(true);
  widget_->setToolTip({});
  widget_->unsetCursor();
  widget_->setPalette(QPalette());
  widget_->setAutoFillBackground(false);
}

void Control::Attach(QWidget* widget) {
  widget_ = widget;
  form_.Adopt(this);
  widget_->setObjectName(Q(name_));
  widget_->setParent(form_.Container());
  widget_->show();
}

void Control::AttachWindowless() {
  face_ = std::make_unique<Face>();
  face_->font.setResolveMask(0);
  face_->order = ++g_faceOrder;
  form_.Adopt(this);
  MoveToContainer(form_.Container());
}

void Control::MoveToContainer(QWidget* container) {
  if (!face_) return;
  Invalidate();
  if (face_->host) face_->host->Remove(this);
  face_->host = &WindowlessHost::Of(container);
  face_->host->Add(this);
  Invalidate();
}

void Control::Invalidate() {
  if (face_ && face_->host && face_->visible) face_->host->Invalidate(face_->rect);
}

QWidget* Control::FaceContainer() const {
  return face_ && face_->host ? face_->host->Container() : nullptr;
}
bool Control::FaceFilled() const {
  return face_ && face_->fill;
}
void Control::SetFill(bool fill) {
  if (!face_) {
    widget_->setAutoFillBackground(fill);
    return;
  }
  face_->fill = fill;
  Invalidate();
}

QRect Control::FaceRect() const {
  return face_ ? face_->rect : QRect();
}
bool Control::FaceShown() const {
  return face_ && face_->visible;
}
bool Control::FaceTakesMouse() const {
  return face_ && face_->visible && face_->enabled;
}
int Control::FacePointer() const {
  return face_ ? face_->pointer : 0;
}
std::string Control::FaceToolTip() const {
  return face_ ? S(face_->toolTip) : std::string();
}

QFont Control::FaceFont() const {
  if (!face_->host) return face_->font;
  return face_->font.resolve(face_->host->Container()->font());
}

void Control::Touch() { form_.EnsureLoaded(); }

void Control::Fire(const Handler& handler) {
  if (handler && !form_.Designing() && form_.IsLoaded()) handler();
}

bool Control::Enabled() {
  Touch();
  return face_ ? face_->enabled : widget_->isEnabled();
}
void Control::SetEnabled(bool enabled) {
  Touch();
  if (!face_) {
    widget_->setEnabled(enabled);
  } else if (face_->enabled != enabled) {
    face_->enabled = enabled;
    Invalidate();
  }
}
bool Control::Visible() {
  Touch();
  return face_ ? face_->visible : !widget_->isHidden();
}
void Control::SetVisible(bool visible) {
  Touch();
  if (!face_) {
    widget_->setVisible(visible);
  } else if (face_->visible != visible) {
    face_->visible = true;
    Invalidate();
    face_->visible = visible;
    if (face_->host) face_->host->Update(this);
  }
}
double Control::Left() {
  Touch();
  if (placed_) return left_;
  return (face_ ? face_->rect.x() : widget_->x()) * TwipsPerPixelX();
}
double Control::Top() {
  Touch();
  if (placed_) return top_;
  return (face_ ? face_->rect.y() : widget_->y()) * TwipsPerPixelY();
}
double Control::Width() {
  Touch();
  if (placed_) return width_;
  return (face_ ? face_->rect.width() : widget_->width()) * TwipsPerPixelX();
}
double Control::Height() {
  Touch();
  if (placed_) return height_;
  return (face_ ? face_->rect.height() : widget_->height()) * TwipsPerPixelY();
}
void Control::Move(double left, double top, double width, double height) {
  Touch();
  const double w = width < 0 ? Width() : width;
  const double h = height < 0 ? Height() : height;
  placed_ = true;
  left_ = left;
  top_ = top;
  width_ = w;
  height_ = h;
  const QRect r(ToPixelsX(left), ToPixelsY(top), ToPixelsX(w), ToPixelsY(h));
  if (!face_) {
    widget_->setGeometry(r);
    return;
  }
  // only where the control was and where it is now are drawn again
  if (r == face_->rect) return;
  Invalidate();
  face_->rect = r;
  if (face_->host) face_->host->Update(this);
  Invalidate();
  // a scrolling strip moves thousands of labels through its few visible ones
  if (face_->painted && face_->host && !face_->host->Container()->rect().intersects(r)) {
    face_->painted = false;
    FaceOutOfSight();
  }
}
void Control::SetLeft(double twips) { Move(twips, Top()); }
void Control::SetTop(double twips) { Move(Left(), twips); }
void Control::SetWidth(double twips) { Move(Left(), Top(), twips, Height()); }
void Control::SetHeight(double twips) { Move(Left(), Top(), Width(), twips); }
std::string Control::ToolTipText() {
  Touch();
  return S(face_ ? face_->toolTip : widget_->toolTip());
}
void Control::SetToolTipText(const std::string& text) {
  Touch();
  if (face_)
    face_->toolTip = Q(text);
  else
    widget_->setToolTip(Q(text));
}
long Control::BackColor() {
  Touch();
  if (backColor_ >= 0) return backColor_;
  const QWidget* w = face_ ? (face_->host ? face_->host->Container() : nullptr) : widget_;
  return FromQColor((w ? w->palette() : DesignPalette()).color(QPalette::Window));
}
void Control::SetBackColor(long color) {
  Touch();
  const bool same = backColor_ == color;
  backColor_ = color;
  if (face_) {
    // the same colour again draws nothing: a lamp lit by every report of a long cycle is drawn once
    if (same && face_->fill == (backColor_ >= 0)) return;
    face_->fill = backColor_ >= 0;
    Invalidate();
  } else {
    ApplyColors(widget_, backColor_, foreColor_);
  }
}
long Control::ForeColor() {
  Touch();
  if (foreColor_ >= 0) return foreColor_;
  const QWidget* w = face_ ? (face_->host ? face_->host->Container() : nullptr) : widget_;
  return FromQColor((w ? w->palette() : DesignPalette()).color(QPalette::WindowText));
}
void Control::SetForeColor(long color) {
  Touch();
  foreColor_ = color;
  if (face_) {
    face_->fill = backColor_ >= 0;
    Invalidate();
  } else {
    ApplyColors(widget_, backColor_, foreColor_);
  }
}
std::string Control::FontName() {
  Touch();
  return S((face_ ? FaceFont() : widget_->font()).family());
}
void Control::SetFontName(const std::string& name) {
  Touch();
  if (face_) {
    face_->font.setFamily(Q(name));
    Invalidate();
    return;
  }
  QFont f = widget_->font();
  f.setFamily(Q(name));
  widget_->setFont(f);
}
double Control::FontSize() {
  Touch();
  return (face_ ? FaceFont() : widget_->font()).pointSizeF();
}
void Control::SetFontSize(double points) {
  Touch();
  if (face_) {
    face_->font.setPointSizeF(points);
    Invalidate();
    return;
  }
  QFont f = widget_->font();
  f.setPointSizeF(points);
  widget_->setFont(f);
}
bool Control::FontBold() {
  Touch();
  return (face_ ? FaceFont() : widget_->font()).bold();
}
void Control::SetFontBold(bool bold) {
  Touch();
  if (face_) {
    face_->font.setBold(bold);
    Invalidate();
    return;
  }
  QFont f = widget_->font();
  f.setBold(bold);
  widget_->setFont(f);
}
long Control::hWnd() {
  Touch();
  // a windowless control has no window of its own
  return face_ ? 0 : HandleOf(widget_);
}
void Control::SetFocus() {
  Touch();
  if (widget_) widget_->setFocus();
}
void Control::SetMousePointer(int pointer) {
  Touch();
  if (face_) {
    face_->pointer = pointer;
    return;
  }
  Qt::CursorShape shape;
  if (CursorOf(pointer, shape))
    widget_->setCursor(shape);
  else
    widget_->unsetCursor();
}

void PutLastInTabOrder(std::initializer_list<Control*> controls) {
  for (Control* control : controls) {
    control->Parent().EnsureLoaded();
    QWidget* w = control->Widget();
    if (!w) continue;  // a windowless control takes no focus
    // the window's focus chain is a ring through the window itself: the last that takes the focus stands
    // before it
    QWidget* window = w->window();
    QWidget* last = window->previousInFocusChain();
    while (last != window && last->focusPolicy() == Qt::NoFocus) last = last->previousInFocusChain();
    if (last != window && last != w) QWidget::setTabOrder(last, w);
  }
}

void Control::Refresh() {
  Touch();
  if (!face_)
    widget_->repaint();
  else if (face_->host && face_->visible)
    face_->host->Repaint(face_->rect);
}

}  // namespace rt
