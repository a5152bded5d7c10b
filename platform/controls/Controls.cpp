#include "platform/controls/Controls.h"

#include <qdrawutil.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStaticText>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "platform/runtime/Error.h"
#include "platform/runtime/Form.h"
#include "platform/runtime/Handles.h"
#include "platform/runtime/PictureFiles.h"

namespace rt {
namespace {

// A colour number, or (with the high bit set) one of the desktop's colours by its index: the forms' own
// palette's, which they are drawn with.
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
long FromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
// Text boxes keep their lines with CR LF between them, as the program writes and reads them.
std::string WithCrLf(QString s) { return s.replace("\r\n", "\n").replace('\n', "\r\n").toStdString(); }

int ButtonOf(Qt::MouseButton b) {
  return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : 4;
}
int ButtonsOf(Qt::MouseButtons b) {
  return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

// The mouse pointer of a MousePointer value: 11 hourglass, 15 four-way sizing, 1 arrow, 99 a pointing hand
// (the links' own); false for the default.
bool CursorOf(int pointer, Qt::CursorShape& shape) {
  switch (pointer) {
    case 11: shape = Qt::WaitCursor; return true;
    case 15: shape = Qt::SizeAllCursor; return true;
    case 1: shape = Qt::ArrowCursor; return true;
    case 99: shape = Qt::PointingHandCursor; return true;
    default: return false;
  }
}

enum FaceEvent : int { faceDown = 1, faceUp = 2, faceClick = 3, faceDblClick = 4, faceMove = 5 };

}  // namespace

// The state of a windowless control: what a widget would otherwise keep.
struct Control::Face {
  WindowlessHost* host = nullptr;
  unsigned long long order = 0;
  QRect rect{0, 0, 100, 30};
  bool visible = true;
  bool enabled = true;
  bool fill = false;
  QFont font;  // only the attributes set on the control
  QString toolTip;
  int pointer = 0;
  size_t slot = 0;  // where the container last had it in its list
  bool painted = false;  // painted since it was last out of sight
};

// The windowless controls of one container (a form's area, a frame, a tab page), in z-order: later ones
// lie on earlier ones, and all of them under the container's windowed controls. The container draws them
// in its own paint event and passes them the mouse by hit test.
class WindowlessHost : public QObject {
 public:
  static WindowlessHost& Of(QWidget* container) {
    const QVariant v = container->property("rt_windowless");
    if (v.isValid()) return *static_cast<WindowlessHost*>(v.value<void*>());
    auto* host = new WindowlessHost(container);
    container->setProperty("rt_windowless", QVariant::fromValue(static_cast<void*>(host)));
    return *host;
  }
  static WindowlessHost* Find(QWidget* container) {
    const QVariant v = container->property("rt_windowless");
    return v.isValid() ? static_cast<WindowlessHost*>(v.value<void*>()) : nullptr;
  }
  ~WindowlessHost() override {
    for (const Entry& e : entries_)
      if (e.control) e.control->face_->host = nullptr;
  }

  QWidget* Container() const { return container_; }
  // Kept in creation order, each with its place, so that drawing and hit tests run through one array; a
  // removed control leaves a gap until gaps are half the list.
  void Add(Control* c) {
    const Entry entry{c->face_->order, c->face_->rect, c->face_->visible, c, c->face_.get()};
    if (entries_.empty() || entries_.back().order < entry.order) {
      c->face_->slot = entries_.size();
      entries_.push_back(entry);
      return;
    }
    entries_.insert(entries_.begin() + static_cast<long>(Find(entry.order)), entry);
    Renumber();
  }
  // The control's place or visibility has changed.
  void Update(Control* c) {
    const size_t at = Slot(c);
    if (at < entries_.size()) {
      entries_[at].rect = c->face_->rect;
      entries_[at].shown = c->face_->visible;
      // A strip of tickers moves thousands of controls at each tick, in the order they were made, and
      // most of that time went to waiting for their memory: while this one moves, the one eight places
      // on is fetched.
      const size_t next = at + 8;
      if (next < entries_.size() && entries_[next].control) {
        const char* object = reinterpret_cast<const char*>(entries_[next].control);
        __builtin_prefetch(object);
        __builtin_prefetch(object + 64);
        __builtin_prefetch(object + 128);
        __builtin_prefetch(entries_[next].face);
      }
    }
  }
  void Remove(Control* c) {
    const size_t at = Slot(c);
    if (at < entries_.size()) {
      entries_[at].control = nullptr;
      entries_[at].face = nullptr;
      entries_[at].shown = false;
      if (++gaps_ > entries_.size() / 2) Compact();
    }
    if (grab_ == c) grab_ = nullptr;
    if (current_ == c) current_ = nullptr;
    if (hover_ == c) SetHover(nullptr);
  }
  std::vector<Control*> Controls() const {
    std::vector<Control*> all;
    for (const Entry& e : entries_)
      if (e.control) all.push_back(e.control);
    return all;
  }
  void Invalidate(const QRect& r) {
    // most of a long strip lies outside its window: nothing to draw there
    if (r.intersects(container_->rect())) container_->update(r);
  }
  void Repaint(const QRect& r) {
    if (!r.isEmpty() && container_->isVisible()) container_->repaint(r);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched != container_) return false;
    switch (e->type()) {
      case QEvent::Paint: {
        // the container's own drawing first, then its windowless controls on it
        static_cast<QObject*>(container_)->event(e);
        Paint(static_cast<QPaintEvent*>(e)->rect());
        return true;
      }
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        auto* m = static_cast<QMouseEvent*>(e);
        Control* hit = HitTest(m->position().toPoint());
        // the control keeps the mouse until the last button is released, as a window would
        grab_ = current_ = hit;
        if (!hit) return false;
        const int button = ButtonOf(m->button());
        hit->FaceMouse(faceDown, button);
        if (e->type() == QEvent::MouseButtonDblClick && current_ == hit) hit->FaceMouse(faceDblClick, button);
        return true;
      }
      case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(e);
        Control* c = grab_;
        if (!c) return false;
        if (m->buttons() == Qt::NoButton) grab_ = nullptr;
        const int button = ButtonOf(m->button());
        const bool inside = c->face_->rect.contains(m->position().toPoint());
        current_ = c;
        c->FaceMouse(faceUp, button);
        // a control removed by its own handler gets nothing more
        if (button == 1 && inside && current_ == c) c->FaceMouse(faceClick, button);
        return true;
      }
      case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(e);
        // a release the control never saw (the window manager took it, moving the window) ends the hold
        if (m->buttons() == Qt::NoButton) grab_ = nullptr;
        Control* c = grab_ ? grab_ : HitTest(m->position().toPoint());
        if (!grab_) SetHover(c);
        if (!c) return false;
        c->FaceMouse(faceMove, ButtonsOf(m->buttons()));
        return true;
      }
      case QEvent::Leave:
        if (!grab_) SetHover(nullptr);
        return false;
      case QEvent::ToolTip: {
        auto* h = static_cast<QHelpEvent*>(e);
        Control* hit = HitTest(h->pos());
        if (!hit) return false;
        if (hit->face_->toolTip.isEmpty())
          QToolTip::hideText();
        else
          QToolTip::showText(h->globalPos(), hit->face_->toolTip, container_, hit->face_->rect);
        return true;
      }
      default: return false;
    }
  }

 private:
  explicit WindowlessHost(QWidget* container) : QObject(container), container_(container) {
    container_->installEventFilter(this);
    // moves without a button pressed reach the controls too
    container_->setMouseTracking(true);
  }

  Control* HitTest(const QPoint& at) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
      if (it->shown && it->rect.contains(at) && it->control->FaceTakesMouse()) return it->control;
    return nullptr;
  }

  void SetHover(Control* c) {
    hover_ = c;
    const int pointer = c ? c->face_->pointer : 0;
    if (pointer == pointerShown_) return;
    pointerShown_ = pointer;
    Qt::CursorShape shape;
    if (CursorOf(pointer, shape))
      container_->setCursor(shape);
    else
      container_->unsetCursor();
  }

  void Paint(const QRect& area) {
    QPainter painter(container_);
    for (const Entry& e : entries_) {
      if (!e.shown || !e.rect.intersects(area)) continue;
      painter.save();
      painter.setClipRect(e.rect);
      e.control->face_->painted = true;
      e.control->PaintFace(painter);
      painter.restore();
    }
  }

  struct Entry {
    unsigned long long order;
    QRect rect;
    bool shown;
    Control* control;
    const void* face;  // the control's state, fetched ahead
  };
  size_t Find(unsigned long long order) const {
    return static_cast<size_t>(std::lower_bound(entries_.begin(), entries_.end(), order,
                                                [](const Entry& e, unsigned long long o) { return e.order < o; }) -
                               entries_.begin());
  }
  // The control's index in the list, or the list's size when it is not there.
  size_t Slot(Control* c) const {
    size_t at = c->face_->slot;
    if (at >= entries_.size() || entries_[at].control != c) at = Find(c->face_->order);
    return at < entries_.size() && entries_[at].control == c ? at : entries_.size();
  }
  void Renumber() {
    for (size_t i = 0; i < entries_.size(); ++i)
      if (entries_[i].control) entries_[i].control->face_->slot = i;
  }
  void Compact() {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.control; }),
                   entries_.end());
    gaps_ = 0;
    Renumber();
  }

  QWidget* container_;
  std::vector<Entry> entries_;
  size_t gaps_ = 0;
  Control* grab_ = nullptr;
  Control* current_ = nullptr;
  Control* hover_ = nullptr;
  int pointerShown_ = 0;
};

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

// ---- Control

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

void CommandButton::Reset() {
  Control::Reset();
  static_cast<QPushButton*>(widget_)->setText({});
}
void CheckBox::Reset() {
  Control::Reset();
  auto* c = static_cast<QCheckBox*>(widget_);
  c->setText({});
  c->setTristate(false);
  c->setCheckState(Qt::Unchecked);
}
void OptionButton::Reset() {
  Control::Reset();
  static_cast<QRadioButton*>(widget_)->setText({});
  static_cast<QRadioButton*>(widget_)->setChecked(false);
}
void TextBox::Reset() {
  Control::Reset();
  lastText_.clear();
  const QSignalBlocker block(widget_);
  if (multiLine_) {
    static_cast<QPlainTextEdit*>(widget_)->setPlainText({});
    static_cast<QPlainTextEdit*>(widget_)->setReadOnly(false);
  } else {
    auto* e = static_cast<QLineEdit*>(widget_);
    e->setText({});
    e->setReadOnly(false);
    e->setEchoMode(QLineEdit::Normal);
    e->setMaxLength(32767);
  }
}
void Label::Reset() {
  Control::Reset();
  caption_.clear();
}
void PictureBox::Reset() {
  Control::Reset();
  picture_.clear();
  pixmap_.reset();
}
void ComboBox::Reset() {
  Control::Reset();
  const QSignalBlocker block(widget_);
  static_cast<QComboBox*>(widget_)->clear();
}
void StatusBar::Reset() {
  Control::Reset();
  for (QWidget* p : panels_) static_cast<QLabel*>(p)->clear();
}
void ProgressBar::Reset() {
  Control::Reset();
  static_cast<QProgressBar*>(widget_)->setRange(0, 100);
  static_cast<QProgressBar*>(widget_)->setValue(0);
}
void RichTextBox::Reset() {
  Control::Reset();
  const QSignalBlocker block(widget_);
  static_cast<QTextEdit*>(widget_)->clear();
}
void Timer::Reset() {
  enabled_ = true;
  interval_ = 0;
  Update();
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
  backColor_ = color;
  if (face_) {
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

// ---- CommandButton

CommandButton::CommandButton(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* b = new QPushButton();
  Attach(b);
  QObject::connect(b, &QPushButton::clicked, [this] { Fire(Click); });
}
std::string CommandButton::Caption() {
  Touch();
  return S(static_cast<QPushButton*>(widget_)->text());
}
void CommandButton::SetCaption(const std::string& caption) {
  Touch();
  static_cast<QPushButton*>(widget_)->setText(Q(caption));
}
void CommandButton::SetCancel(bool cancel) {
  Touch();
  if (cancel && !escape_) {
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), form_.Window());
    QObject::connect(escape_, &QShortcut::activated, [this] {
      if (widget_->isEnabled()) Fire(Click);
    });
  }
  if (escape_) escape_->setEnabled(cancel);
}

void CommandButton::PerformClick() {
  Touch();
  Fire(Click);
}

// ---- CheckBox

CheckBox::CheckBox(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* c = new QCheckBox();
  Attach(c);
  // a user's click has changed the state already
  QObject::connect(c, &QCheckBox::clicked, [this] { Fire(Click); });
}
std::string CheckBox::Caption() {
  Touch();
  return S(static_cast<QCheckBox*>(widget_)->text());
}
void CheckBox::SetCaption(const std::string& caption) {
  Touch();
  static_cast<QCheckBox*>(widget_)->setText(Q(caption));
}
int CheckBox::Value() {
  Touch();
  switch (static_cast<QCheckBox*>(widget_)->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
  }
}
void CheckBox::SetValue(int value) {
  Touch();
  if (value < 0 || value > 2) Raise(errInvalidCall);
  if (value == Value()) return;
  auto* c = static_cast<QCheckBox*>(widget_);
  c->setTristate(value == 2);
  c->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
  Fire(Click);
}

// ---- OptionButton

OptionButton::OptionButton(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* r = new QRadioButton();
  Attach(r);
  QObject::connect(r, &QRadioButton::clicked, [this] { Fire(Click); });
}
std::string OptionButton::Caption() {
  Touch();
  return S(static_cast<QRadioButton*>(widget_)->text());
}
void OptionButton::SetCaption(const std::string& caption) {
  Touch();
  static_cast<QRadioButton*>(widget_)->setText(Q(caption));
}
bool OptionButton::Value() {
  Touch();
  return static_cast<QRadioButton*>(widget_)->isChecked();
}
void OptionButton::SetValue(bool value) {
  Touch();
  if (value == Value()) return;
  static_cast<QRadioButton*>(widget_)->setChecked(value);
  if (value) Fire(Click);
}

// ---- TextBox

TextBox::TextBox(Form& owner, std::string name, bool multiLine) : Control(owner, std::move(name)), multiLine_(multiLine) {
  if (multiLine_) {
    auto* e = new QPlainTextEdit();
    e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Attach(e);
    QObject::connect(e, &QPlainTextEdit::textChanged, [this] {
      // textChanged also follows changes from code, which SetText reports itself
      const std::string now = WithCrLf(static_cast<QPlainTextEdit*>(widget_)->toPlainText());
      if (now == lastText_) return;
      lastText_ = now;
      Fire(Change);
    });
  } else {
    auto* e = new QLineEdit();
    Attach(e);
    QObject::connect(e, &QLineEdit::textEdited, [this] {
      lastText_ = S(static_cast<QLineEdit*>(widget_)->text());
      Fire(Change);
    });
    QObject::connect(e, &QLineEdit::editingFinished, [this] { Fire(LostFocus); });
  }
}
std::string TextBox::Text() {
  Touch();
  if (multiLine_) return WithCrLf(static_cast<QPlainTextEdit*>(widget_)->toPlainText());
  return S(static_cast<QLineEdit*>(widget_)->text());
}
void TextBox::SetText(const std::string& text) {
  Touch();
  if (text == Text()) return;
  lastText_ = text;
  if (multiLine_) {
    auto* e = static_cast<QPlainTextEdit*>(widget_);
    const QSignalBlocker block(e);
    e->setPlainText(Q(text));
  } else {
    auto* e = static_cast<QLineEdit*>(widget_);
    e->setText(Q(text));
    // a text set by the program shows its start, the caret before the first character
    e->setCursorPosition(0);
  }
  Fire(Change);
}
int TextBox::MaxLength() {
  Touch();
  if (multiLine_) return 0;
  const int m = static_cast<QLineEdit*>(widget_)->maxLength();
  return m >= 32767 ? 0 : m;
}
void TextBox::SetMaxLength(int length) {
  Touch();
  if (!multiLine_) static_cast<QLineEdit*>(widget_)->setMaxLength(length > 0 ? length : 32767);
}
bool TextBox::Locked() {
  Touch();
  if (multiLine_) return static_cast<QPlainTextEdit*>(widget_)->isReadOnly();
  return static_cast<QLineEdit*>(widget_)->isReadOnly();
}
void TextBox::SetLocked(bool locked) {
  Touch();
  if (multiLine_)
    static_cast<QPlainTextEdit*>(widget_)->setReadOnly(locked);
  else
    static_cast<QLineEdit*>(widget_)->setReadOnly(locked);
}
void TextBox::SetPasswordChar(const std::string& c) {
  Touch();
  if (!multiLine_)
    static_cast<QLineEdit*>(widget_)->setEchoMode(c.empty() ? QLineEdit::Normal : QLineEdit::Password);
}
long TextBox::SelStart() {
  Touch();
  if (multiLine_) return static_cast<QPlainTextEdit*>(widget_)->textCursor().selectionStart();
  auto* e = static_cast<QLineEdit*>(widget_);
  return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}
void TextBox::SetSelStart(long start) {
  Touch();
  if (multiLine_) {
    auto* e = static_cast<QPlainTextEdit*>(widget_);
    QTextCursor c = e->textCursor();
    c.setPosition(static_cast<int>(start));
    e->setTextCursor(c);
  } else {
    static_cast<QLineEdit*>(widget_)->setCursorPosition(static_cast<int>(start));
  }
}
long TextBox::SelLength() {
  Touch();
  if (multiLine_) {
    const QTextCursor c = static_cast<QPlainTextEdit*>(widget_)->textCursor();
    return c.selectionEnd() - c.selectionStart();
  }
  return static_cast<QLineEdit*>(widget_)->selectedText().size();
}
void TextBox::SetSelLength(long length) {
  Touch();
  const long start = SelStart();
  if (multiLine_) {
    auto* e = static_cast<QPlainTextEdit*>(widget_);
    QTextCursor c = e->textCursor();
    c.setPosition(static_cast<int>(start));
    c.setPosition(static_cast<int>(start + length), QTextCursor::KeepAnchor);
    e->setTextCursor(c);
  } else {
    static_cast<QLineEdit*>(widget_)->setSelection(static_cast<int>(start), static_cast<int>(length));
  }
}
void TextBox::SetAlignment(int alignment) {
  Touch();
  if (multiLine_) return;
  const Qt::Alignment a = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
  static_cast<QLineEdit*>(widget_)->setAlignment(a | Qt::AlignVCenter);
}

// ---- Label

namespace {
// The palette a windowless control draws with: its container's, with its own colours where set.
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
}  // namespace

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

// ---- PictureBox

PictureBox::PictureBox(Form& owner, std::string name) : Control(owner, std::move(name)) {
  AttachWindowless();
}
PictureBox::~PictureBox() = default;
void PictureBox::LoadPicture(const std::string& path) {
  Touch();
  if (path.empty()) {
    picture_.clear();
    pixmap_.reset();
    Invalidate();
    return;
  }
  const QPixmap p = PictureFromFile(path);
  if (pixmap_ && picture_ == path && pixmap_->cacheKey() == p.cacheKey()) return;
  picture_ = path;
  pixmap_ = std::make_unique<QPixmap>(p);
  Invalidate();
}
void PictureBox::SetStretch(bool stretch) {
  Touch();
  stretch_ = stretch;
  Invalidate();
}
void PictureBox::SetBorderStyle(int style) {
  Touch();
  borderStyle_ = style;
  Invalidate();
}
void PictureBox::PaintFace(QPainter& painter) {
  const QRect r = FaceRect();
  const QPalette palette = FacePalette(FaceContainer(), backColor_, foreColor_);
  PaintBackAndBorder(painter, r, palette, FaceFilled(), borderStyle_);
  if (!pixmap_ || pixmap_->isNull()) return;
  const QRect inside = borderStyle_ ? r.adjusted(1, 1, -1, -1) : r;
  QPixmap shown = *pixmap_;
  if (!FaceTakesMouse()) {
    QStyleOption option;
    option.palette = palette;
    shown = QApplication::style()->generatedIconPixmap(QIcon::Disabled, shown, &option);
  }
  if (stretch_) {
    painter.drawPixmap(inside, shown);
  } else {
    const QSize size = shown.deviceIndependentSize().toSize();
    painter.drawPixmap(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, inside), shown);
  }
}
void PictureBox::FaceMouse(int kind, int /*button*/) {
  if (kind == faceClick) Fire(Click);
}

// ---- AnimatedPicture

namespace {
// An animation nobody can see does not run: its timer would wake the program (and read the file) ten times
// a second for nothing. The movie plays while its label is shown, and pauses when the label, or the window
// it is in, is hidden (an unloaded form's window is hidden too).
class PlayWhileShown : public QObject {
 public:
  using QObject::QObject;
  static void Play(QMovie* movie) {
    if (movie->state() == QMovie::Paused) movie->setPaused(false);
    else if (movie->state() == QMovie::NotRunning) movie->start();
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide) return false;
    QMovie* movie = static_cast<QLabel*>(watched)->movie();
    if (!movie) return false;
    if (type == QEvent::Show) Play(movie);
    else if (movie->state() == QMovie::Running) movie->setPaused(true);
    return false;
  }
};
}  // namespace

AnimatedPicture::AnimatedPicture(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* l = new QLabel();
  l->setAlignment(Qt::AlignCenter);
  l->installEventFilter(new PlayWhileShown(l));
  Attach(l);
}
void AnimatedPicture::LoadAnimation(const std::string& path) {
  Touch();
  if (!QFile::exists(Q(path))) Raise(errFileNotFound);
  auto* l = static_cast<QLabel*>(widget_);
  if (QMovie* old = l->movie()) old->deleteLater();
  auto* movie = new QMovie(Q(path), QByteArray(), l);
  l->setMovie(movie);
  if (l->isVisible()) PlayWhileShown::Play(movie);
}

// ---- ComboBox

ComboBox::ComboBox(Form& owner, std::string name, int style) : Control(owner, std::move(name)), style_(style) {
  auto* c = new QComboBox();
  c->setEditable(style_ == 0);
  c->setInsertPolicy(QComboBox::NoInsert);
  Attach(c);
  QObject::connect(c, &QComboBox::activated, [this] { Fire(Click); });
  if (c->lineEdit()) QObject::connect(c->lineEdit(), &QLineEdit::textEdited, [this] { Fire(Change); });
}
void ComboBox::AddItem(const std::string& item, int index) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  if (index > c->count()) Raise(errInvalidCall);
  // Adding never selects an item, not even the first one.
  const int selected = c->currentIndex();
  const QString text = c->currentText();
  const QSignalBlocker block(c);
  c->insertItem(index < 0 ? c->count() : index, Q(item));
  if (selected < 0) {
    c->setCurrentIndex(-1);
    if (c->isEditable()) c->setEditText(text);
  } else if (index >= 0 && index <= selected) {
    c->setCurrentIndex(selected + 1);
  }
}
void ComboBox::RemoveItem(int index) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  if (index < 0 || index >= c->count()) Raise(errInvalidCall);
  const QSignalBlocker block(c);
  c->removeItem(index);
}
void ComboBox::Clear() {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  const QSignalBlocker block(c);
  c->clear();
}
int ComboBox::ListCount() {
  Touch();
  return static_cast<QComboBox*>(widget_)->count();
}
std::string ComboBox::List(int index) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  if (index < 0 || index >= c->count()) return {};
  return S(c->itemText(index));
}
int ComboBox::ListIndex() {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  // an edited text that is no item leaves no item selected
  if (c->isEditable() && c->currentIndex() >= 0 && c->currentText() != c->itemText(c->currentIndex())) return -1;
  return c->currentIndex();
}
void ComboBox::SetListIndex(int index) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  if (index < -1 || index >= c->count()) Raise(errInvalidCall);
  if (index == ListIndex()) return;
  {
    const QSignalBlocker block(c);
    c->setCurrentIndex(index);
    if (index < 0 && c->isEditable()) c->setEditText({});
  }
  Fire(Click);
}
std::string ComboBox::Text() {
  Touch();
  return S(static_cast<QComboBox*>(widget_)->currentText());
}
void ComboBox::SetText(const std::string& text) {
  Touch();
  auto* c = static_cast<QComboBox*>(widget_);
  const int match = c->findText(Q(text), Qt::MatchFixedString);
  if (!c->isEditable()) {
    if (match < 0) Raise(errInvalidCall, "'Text' property is read-only");
    SetListIndex(match);
    return;
  }
  if (text == Text() && ListIndex() == match) return;
  {
    const QSignalBlocker block(c);
    if (match >= 0) c->setCurrentIndex(match);
    c->setEditText(Q(text));
  }
  // a text that names an item selects it, as a click would
  Fire(match >= 0 ? Click : Change);
}

// ---- Frame

Frame::Frame(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* g = new QGroupBox();
  Attach(g);
  g->lower();
}
std::string Frame::Caption() {
  Touch();
  return S(static_cast<QGroupBox*>(widget_)->title());
}
void Frame::SetCaption(const std::string& caption) {
  Touch();
  static_cast<QGroupBox*>(widget_)->setTitle(Q(caption));
}

void Frame::Place(Control& control) {
  Touch();
  if (control.IsWindowless()) {
    control.MoveToContainer(widget_);
    return;
  }
  control.Widget()->setParent(widget_);
  control.Widget()->show();
}

// ---- ScrollBar

ScrollBar::ScrollBar(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* s = new QScrollBar(Qt::Vertical);
  s->setRange(0, 32767);
  Attach(s);
  QObject::connect(s, &QScrollBar::actionTriggered, [this, s](int) {
    // the user's step: the new value is there once the action has been applied
    QTimer::singleShot(0, s, [this] { Fire(Change); });
  });
}
long ScrollBar::Min() {
  Touch();
  return static_cast<QScrollBar*>(widget_)->minimum();
}
long ScrollBar::Max() {
  Touch();
  return static_cast<QScrollBar*>(widget_)->maximum();
}
long ScrollBar::Value() {
  Touch();
  return static_cast<QScrollBar*>(widget_)->value();
}
void ScrollBar::SetMin(long v) {
  Touch();
  auto* s = static_cast<QScrollBar*>(widget_);
  const QSignalBlocker block(s);
  s->setMinimum(static_cast<int>(v));
}
void ScrollBar::SetMax(long v) {
  Touch();
  auto* s = static_cast<QScrollBar*>(widget_);
  const QSignalBlocker block(s);
  s->setMaximum(static_cast<int>(v));
}
void ScrollBar::SetValue(long v) {
  Touch();
  auto* s = static_cast<QScrollBar*>(widget_);
  if (v < s->minimum() || v > s->maximum()) Raise(380, "Invalid property value");
  if (v == s->value()) return;
  {
    const QSignalBlocker block(s);
    s->setValue(static_cast<int>(v));
  }
  Fire(Change);
}
void ScrollBar::SetSmallChange(long v) {
  Touch();
  static_cast<QScrollBar*>(widget_)->setSingleStep(static_cast<int>(v));
}
void ScrollBar::SetLargeChange(long v) {
  Touch();
  static_cast<QScrollBar*>(widget_)->setPageStep(static_cast<int>(v));
}
void ScrollBar::Reset() {
  Control::Reset();
  auto* s = static_cast<QScrollBar*>(widget_);
  const QSignalBlocker block(s);
  s->setRange(0, 32767);
  s->setValue(0);
}

// ---- TabControl

TabControl::TabControl(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* t = new QTabWidget();
  Attach(t);
  t->lower();
}
void TabControl::AddTab(const std::string& caption) {
  Touch();
  auto* t = static_cast<QTabWidget*>(widget_);
  t->addTab(new QWidget(), Q(caption));
}
int TabControl::Tabs() {
  Touch();
  return static_cast<QTabWidget*>(widget_)->count();
}
std::string TabControl::TabCaption(int tab) {
  Touch();
  return S(static_cast<QTabWidget*>(widget_)->tabText(tab));
}
int TabControl::Tab() {
  Touch();
  return static_cast<QTabWidget*>(widget_)->currentIndex();
}
void TabControl::SetTab(int tab) {
  Touch();
  auto* t = static_cast<QTabWidget*>(widget_);
  if (tab < 0 || tab >= t->count()) Raise(380, "Invalid property value");
  t->setCurrentIndex(tab);
}
void TabControl::Reset() {
  Control::Reset();
  // the pages go; what stands on them comes back to the form until the design places it again
  auto* t = static_cast<QTabWidget*>(widget_);
  while (t->count() > 0) {
    QWidget* page = t->widget(0);
    for (QWidget* child : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      child->setParent(form_.Container());
    if (WindowlessHost* host = WindowlessHost::Find(page))
      for (Control* c : host->Controls()) c->MoveToContainer(form_.Container());
    t->removeTab(0);
    // not at once: the page may be delivering the event whose handler loads the form again
    page->hide();
    page->deleteLater();
  }
}

void TabControl::Place(Control& control, int tab) {
  Touch();
  auto* t = static_cast<QTabWidget*>(widget_);
  if (tab < 0 || tab >= t->count()) Raise(380, "Invalid property value");
  if (control.IsWindowless()) {
    control.MoveToContainer(t->widget(tab));
    return;
  }
  control.Widget()->setParent(t->widget(tab));
  control.Widget()->show();
}

// ---- Timer

Timer::Timer(Form& owner, std::string name) : form_(owner), name_(std::move(name)), timer_(new QTimer(owner.Window())) {
  form_.Adopt(this);
  timer_->setObjectName(QString::fromStdString(name_));
  QObject::connect(timer_, &QTimer::timeout, [this] {
    if (Tick && form_.IsLoaded()) Tick();
  });
}
Timer::~Timer() { form_.Release(this); }
bool Timer::Enabled() {
  form_.EnsureLoaded();
  return enabled_;
}
void Timer::SetEnabled(bool enabled) {
  form_.EnsureLoaded();
  enabled_ = enabled;
  Update();
}
long Timer::Interval() {
  form_.EnsureLoaded();
  return interval_;
}
void Timer::SetInterval(long milliseconds) {
  form_.EnsureLoaded();
  if (milliseconds < 0 || milliseconds > 65535) Raise(errInvalidCall);
  interval_ = milliseconds;
  Update();
}
void Timer::Update() {
  // Setting either property starts the count again.
  timer_->stop();
  if (enabled_ && interval_ > 0) timer_->start(static_cast<int>(interval_));
}

// ---- Menu

Menu::Menu(Form& owner, std::string name, Menu* parent) : form_(owner), name_(std::move(name)), parent_(parent) {
  form_.menus_.push_back(this);
  action_ = new QAction(owner.Window());
  action_->setObjectName(QString::fromStdString(name_));
  QObject::connect(action_, &QAction::triggered, [this] {
    if (Click && form_.IsLoaded()) Click();
  });
  if (parent_) {
    parent_->items_.push_back(this);
    parent_->Rebuild();
  } else {
    owner.MainWindow()->menuBar()->addAction(action_);
  }
}
Menu::~Menu() {
  auto& menus = form_.menus_;
  menus.erase(std::remove(menus.begin(), menus.end(), this), menus.end());
}
void Menu::Rebuild() {
  if (!menu_) {
    menu_ = new QMenu(form_.Window());
    action_->setMenu(menu_);
  }
  menu_->clear();
  for (Menu* item : items_) menu_->addAction(item->action_);
}
QMenu* Menu::NativeMenu() { return menu_; }
std::string Menu::Caption() { return action_->text().toStdString(); }
void Menu::SetCaption(const std::string& caption) { action_->setText(QString::fromStdString(caption)); }
bool Menu::Visible() { return action_->isVisible(); }
void Menu::SetVisible(bool visible) { action_->setVisible(visible); }
bool Menu::Enabled() { return action_->isEnabled(); }
void Menu::SetEnabled(bool enabled) { action_->setEnabled(enabled); }
bool Menu::Checked() { return action_->isChecked(); }
void Menu::SetChecked(bool checked) {
  action_->setCheckable(true);
  action_->setChecked(checked);
}

// ---- StatusBar

StatusBar::StatusBar(Form& owner, std::string name, int panels) : Control(owner, std::move(name)) {
  auto* bar = new QWidget();
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->setSpacing(2);
  for (int i = 0; i < std::max(1, panels); ++i) {
    auto* l = new QLabel();
    // the style's panel, whose edges all stand out from the window's background
    l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    l->setTextFormat(Qt::PlainText);
    layout->addWidget(l, i == 0 ? 1 : 0);
    panels_.push_back(l);
  }
  Attach(bar);
}
std::string StatusBar::PanelText(int panel) {
  Touch();
  if (panel < 1 || panel > static_cast<int>(panels_.size())) Raise(errSubscript);
  return S(static_cast<QLabel*>(panels_[panel - 1])->text());
}
void StatusBar::SetPanelText(int panel, const std::string& text) {
  Touch();
  if (panel < 1 || panel > static_cast<int>(panels_.size())) Raise(errSubscript);
  static_cast<QLabel*>(panels_[panel - 1])->setText(Q(text));
}
void StatusBar::SetPanelWidth(int panel, double twips) {
  Touch();
  if (panel < 1 || panel > static_cast<int>(panels_.size())) Raise(errSubscript);
  panels_[panel - 1]->setFixedWidth(ToPixelsX(twips));
}
std::string StatusBar::SimpleText() { return PanelText(1); }
void StatusBar::SetSimpleText(const std::string& text) { SetPanelText(1, text); }

// ---- ProgressBar

ProgressBar::ProgressBar(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* p = new QProgressBar();
  p->setTextVisible(false);
  p->setRange(0, 100);
  p->setValue(0);
  Attach(p);
}
long ProgressBar::Min() {
  Touch();
  return static_cast<QProgressBar*>(widget_)->minimum();
}
long ProgressBar::Max() {
  Touch();
  return static_cast<QProgressBar*>(widget_)->maximum();
}
long ProgressBar::Value() {
  Touch();
  return static_cast<QProgressBar*>(widget_)->value();
}
void ProgressBar::SetMin(long v) {
  Touch();
  static_cast<QProgressBar*>(widget_)->setMinimum(static_cast<int>(v));
}
void ProgressBar::SetMax(long v) {
  Touch();
  static_cast<QProgressBar*>(widget_)->setMaximum(static_cast<int>(v));
}
void ProgressBar::SetValue(long v) {
  Touch();
  auto* p = static_cast<QProgressBar*>(widget_);
  if (v < p->minimum() || v > p->maximum()) Raise(errInvalidCall, "Invalid property value");
  p->setValue(static_cast<int>(v));
}

// ---- RichTextBox

RichTextBox::RichTextBox(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* e = new QTextEdit();
  e->setAcceptRichText(false);
  Attach(e);
}
std::string RichTextBox::Text() {
  Touch();
  return WithCrLf(static_cast<QTextEdit*>(widget_)->toPlainText());
}
void RichTextBox::SetText(const std::string& text) {
  Touch();
  if (text == Text()) return;
  static_cast<QTextEdit*>(widget_)->setPlainText(Q(text));
  Fire(Change);
}
void RichTextBox::SetLocked(bool locked) {
  Touch();
  static_cast<QTextEdit*>(widget_)->setReadOnly(locked);
}

}  // namespace rt
