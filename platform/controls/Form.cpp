#include "platform/controls/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QLayout>
#include <QMainWindow>
#include <QProxyStyle>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QResizeEvent>
#include <QStyleOptionTitleBar>
#include <QTimer>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <optional>
#include <utility>

#include "platform/controls/Controls.h"
#include "platform/controls/ScreenArea.h"
#include "platform/controls/X11Desktop.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Handles.h"
#include "platform/runtime/Text.h"

namespace rt {
namespace {

// A fixed frame keeps the user from sizing the window, not the program. No window is ever larger than the
// available area of its screen, less its frame: not as the program sizes it, nor as the largest size the
// window manager is told it may give it.
void Resize(QWidget* window, const QSize& size) {
  const QSize largest = detail::LargestSize(window);
  if (window->minimumSize() == window->maximumSize()) {
    window->setFixedSize(size.boundedTo(largest));
  } else {
    if (window->maximumSize() != largest) window->setMaximumSize(largest);
    window->resize(size.boundedTo(largest));
  }
}

// Keeps a window inside the available area of its screen: its size as Resize does, and its place as near to
// where it stands as it can be with all of it inside, or, where it is larger than the area, with its
// top-left corner on it. A window minimised, maximised or full-screen is the desktop's.
// Returns the place asked for the window's area when it had to move.
std::optional<QPoint> Fit(QWidget* window) {
  if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return {};
  Resize(window, window->size());
  // placed by its inside, which the window manager puts where it is asked to: the frame is reckoned by what
  // the window manager tells of it, which the toolkit may not know yet
  const QRect inside = window->geometry();
  const QPoint place = detail::PlaceInside(window, inside.topLeft());
  std::optional<QPoint> asked;
  if (place != inside.topLeft()) {
    window->setGeometry(QRect(place, inside.size()));
    asked = place;
  }
  detail::PutBackInside(window);
  return asked;
}

// The window places the area that holds the controls lazily (at its next event, or when it is shown):
// a size read right after the window was sized must not be the old one.
void PlaceArea(QWidget* window) {
  if (QLayout* layout = window->layout()) {
    layout->invalidate();
    layout->activate();
  }
}

std::vector<Form*>& LoadedForms() {
  static std::vector<Form*> forms;
  return forms;
}

// The area of a form that holds its controls; it reports mouse presses on the form itself.
class FormArea : public QWidget {
 public:
  using QWidget::QWidget;
  std::function<void(int)> onMouseDown;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    QWidget::mousePressEvent(e);
    const int button = e->button() == Qt::LeftButton ? 1 : e->button() == Qt::RightButton ? 2 : 4;
    if (onMouseDown) onMouseDown(button);
  }
};

bool g_placeAtOnce = false;

class FormWindow : public QMainWindow {
 public:
  std::function<void()> onClose, onResize, onHide, onFrame;
  bool closingFromCode = false;

  // The place and size the program gives a window on the screen are held until the program lets events
  // run, and the window is fitted then, so that what a handler does on the way (a strip sized for all its
  // entries, cut to its largest width, then placed) reaches the window manager as one change, or none.
  // A hidden window takes them at once.
  QPoint Place() const { return wantedPlace_.value_or(pos()); }
  QSize InsideSize() const { return wantedSize_.value_or(size()); }
  // How much larger the size given is than the size the window has.
  QSize Growth() const { return InsideSize() - size(); }
  void Want(std::optional<QPoint> place, std::optional<QSize> inside) {
    if (inside) wantedSize_ = inside->boundedTo(detail::LargestSize(this));
    if (place) wantedPlace_ = place;
    if (g_placeAtOnce || !isVisible() ||
        (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
      Settle();
    else
      FitLater();
  }
  // Gives the window the place and size the program gave it.
  void Settle() {
    if (const auto inside = std::exchange(wantedSize_, std::nullopt); inside && *inside != size())
      Resize(this, *inside);
    if (const auto place = std::exchange(wantedPlace_, std::nullopt); place && *place != pos()) move(*place);
  }
  void FitLater() {
    if (fitQueued_ || !isVisible()) return;
    fitQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      fitQueued_ = false;
      Settle();
      if (isVisible()) FitNow();
    });
  }
  // Keeps the window inside the available area now.
  void FitNow() {
    Settle();
    if (const auto asked = Fit(this)) placeAsked_ = asked;
  }

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (closingFromCode) {
      e->accept();
      return;
    }
    // The window manager's close button: the form decides through its unload handlers. A window whose
    // system menu has lost its Close command cannot be closed this way.
    e->ignore();
    if (property("rt_noclose").toBool()) return;
    if (onClose) onClose();
  }
  void resizeEvent(QResizeEvent* e) override {
    QMainWindow::resizeEvent(e);
    if (onResize) onResize();
    FrameSeen();
  }
  void moveEvent(QMoveEvent* e) override {
    QMainWindow::moveEvent(e);
    FrameSeen();
    // The window stands where it was put to keep it on the screen: a move the program did not ask for. A
    // window manager may carry it out after it has framed the window, when the frame is told already.
    if (placeAsked_ && geometry().topLeft() == *placeAsked_) {
      placeAsked_.reset();
      if (isVisible() && onFrame) onFrame();
    }
  }
  void changeEvent(QEvent* e) override {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && onResize) onResize();
  }
  void hideEvent(QHideEvent* e) override {
    QMainWindow::hideEvent(e);
    if (onHide) onHide();
  }
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override {
    // a frame told late, or changed, may take the window past the edge of the screen's available area
    if (detail::NoteFrameChange(eventType, message)) FitLater();
    return QMainWindow::nativeEvent(eventType, message, result);
  }

 private:
  // A window manager that frames a shown window late (a busy desktop) moves its area down and right:
  // the frame's margins are told when they change.
  void FrameSeen() {
    if (!isVisible()) return;
    const QRect frame = frameGeometry(), area = geometry();
    const QMargins margins(area.left() - frame.left(), area.top() - frame.top(), frame.right() - area.right(),
                           frame.bottom() - area.bottom());
    if (margins == margins_) return;
    margins_ = margins;
    FitLater();  // a frame may take the window past the edge of the screen's available area
    if (onFrame) onFrame();
  }
  QMargins margins_;
  bool fitQueued_ = false;
  std::optional<QPoint> placeAsked_;  // by the last fit that moved the window, until it stands there
  std::optional<QPoint> wantedPlace_;
  std::optional<QSize> wantedSize_;
};

// The desktop's style, less its widget animations: a form's window is a main window, whose layout makes
// (and drops) an animation of its area at every resize while the style asks for animations, and the
// program resizes its windows often (the scrolling ticker at every entry it adds).
class StillStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_Widget_Animation_Duration) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

void UseStillStyle() {
  if (!qApp || dynamic_cast<StillStyle*>(QApplication::style())) return;
  QApplication::setStyle(new StillStyle(QApplication::style()->name()));
}

// A window shown while a modal window is open is kept above it, where the user can see it and answer it;
// otherwise the window manager keeps it under the modal window (which it raises with every click) until
// that closes. Meanwhile the window stays on top and belongs to the modal window, which lets its input
// through. Once no modal window is open it is its own window again.
void KeepAboveModal(QWidget* w, std::optional<Qt::WindowFlags>& ownFlags) {
  QWidget* modal = QApplication::activeModalWidget();
  for (QWidget* p = modal; p; p = p->parentWidget())
    if (p == w) modal = nullptr;  // the modal window is this one, or one it owns
  if (!modal && !ownFlags) return;
  const bool visible = w->isVisible();
  if (modal) {
    if (!ownFlags) ownFlags = w->windowFlags();
    w->setWindowFlags(*ownFlags | Qt::WindowStaysOnTopHint);
  } else {
    w->setWindowFlags(*ownFlags);
    ownFlags.reset();
  }
  w->winId();
  QWidget* owner = modal ? modal->window() : w->parentWidget() ? w->parentWidget()->window() : nullptr;
  w->windowHandle()->setTransientParent(owner ? owner->windowHandle() : nullptr);
  if (visible) w->show();
}

// Returns once a window just shown is on the screen, as a shown window is at once on the desktop the program
// was written for: a window manager frames and places it first. Only then are its frame (and so its outer
// size and place) known, and the toolkit knows where it stands, so that a move asked next is not taken for
// the place the window manager chose. Input waits meanwhile; a window shown minimised, or one a window
// manager never puts on the screen, is not waited for beyond a few seconds.
void WaitUntilOnScreen(QWidget* shown) {
  if (shown->windowState() & Qt::WindowMinimized) return;
  // what runs meanwhile (a timer's handler) may hide the window, or give it another native window
  const QPointer<QWidget> w(shown);
  WaitForDesktop([&] { return !w || !w->isVisible() || !w->windowHandle() || w->windowHandle()->isExposed(); },
                 3000);
}

}  // namespace

struct Form::Native {
  FormWindow* window = nullptr;
  QWidget* container = nullptr;
  QEventLoop* modalLoop = nullptr;
  int mousePointer = 0;
  QSize designSize{400, 300};
  int resizes = 0;  // resize events delivered so far
  bool shownSinceLoad = false;
  bool inTaskbar = true;
  // the window's own flags while it is kept above a modal window that was open when it was shown
  std::optional<Qt::WindowFlags> aboveModal;
};

Form::Form(std::string name) : name_(std::move(name)), native_(std::make_unique<Native>()) {
  UseStillStyle();
  detail::GiveEveryWindowABaseSize();
  auto* w = new FormWindow();
  w->setObjectName(QString::fromStdString(name_));
  // Every attribute of both is the window's own, so that neither the desktop's font and colours nor those
  // it gives a kind of control reach the controls; the window's menu bar lays out in the same font.
  w->setFont(DesignFont());
  w->setPalette(DesignPalette());
  w->setAttribute(Qt::WA_DeleteOnClose, false);
  native_->window = w;
  auto* area = new FormArea(w);
  area->onMouseDown = [this](int button) {
    if (loaded_) Form_MouseDown(button);
  };
  native_->container = area;
  w->setCentralWidget(native_->container);
  w->onClose = [this] { CloseRequested(); };
  w->onResize = [this] {
    ++native_->resizes;
    Resized();
  };
  w->onHide = [this] {
    if (native_->modalLoop) native_->modalLoop->quit();
  };
  w->onFrame = [this] {
    if (loaded_ && !designing_) FrameChanged();
  };
}

Form::~Form() {
  auto& forms = LoadedForms();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  runtime_.clear();
  delete native_->window;
}

QWidget* Form::Window() const {
  native_->window->Settle();
  return native_->window;
}
QWidget* Form::Container() const { return native_->container; }
QMainWindow* Form::MainWindow() const {
  native_->window->Settle();
  return native_->window;
}

void Form::DesignSize(double width, double height) {
  native_->designSize = QSize(ToPixelsX(width), ToPixelsY(height));
  Resize(native_->window, native_->designSize);
}

void Form::Load() {
  if (loaded_ || loading_) return;
  loading_ = true;
  designing_ = true;
  native_->shownSinceLoad = false;
  Resize(native_->window, native_->designSize);
  // a form loaded again starts from its design, as a new one does
  for (Control* c : controls_) c->Reset();
  for (Timer* t : timers_) t->Reset();
  Design();
  designing_ = false;
  loaded_ = true;
  LoadedForms().push_back(this);
  Form_Load();
  loading_ = false;
}

void Form::Show(int modal, Form* owner) {
  Load();
  if (!loaded_) return;
  FormWindow* w = native_->window;
  w->Settle();
  // The first show after a load runs the resize handler. The toolkit sends no resize event when a window
  // shown before comes back at the size it had then, so it is run here in that case.
  const bool first = !native_->shownSinceLoad;
  const int resizes = native_->resizes;
  auto firstResize = [&] {
    native_->shownSinceLoad = true;
    if (first && native_->resizes == resizes && w->isVisible()) Resized();
  };
  if (modal) {
    if (owner) {
      // an owned window stays above its owner
      w->setParent(owner->Window(), w->windowFlags() | Qt::Dialog);
    }
    w->setWindowModality(Qt::ApplicationModal);
    const bool wasVisible = w->isVisible();
    w->show();
    if (!wasVisible) WaitUntilOnScreen(w);
    firstResize();
    w->FitNow();
    w->raise();
    w->activateWindow();
    QEventLoop loop;
    native_->modalLoop = &loop;
    QPointer<QWidget> guard(w);
    if (w->isVisible()) loop.exec();
    native_->modalLoop = nullptr;
    if (guard) w->setWindowModality(Qt::NonModal);
    // the windows kept above this one while it was open
    for (Form* f : LoadedForms())
      if (f->native_->aboveModal) KeepAboveModal(f->native_->window, f->native_->aboveModal);
    return;
  }
  KeepAboveModal(w, native_->aboveModal);
  const bool wasVisible = w->isVisible();
  if (wasVisible) {
    // Already on the screen, where the program last put it (a move is fitted as it is made): it is only
    // raised, unless it stays on top and so stands above the other windows already.
    firstResize();
    if (!(w->windowFlags() & Qt::WindowStaysOnTopHint)) w->raise();
    return;
  }
  if (!native_->inTaskbar) detail::KeepOutOfTaskbar(w);
  w->show();
  WaitUntilOnScreen(w);
  firstResize();
  w->FitNow();
  w->raise();
}

void Form::Hide() {
  EnsureLoaded();
  native_->window->Settle();
  native_->window->hide();
}

bool Form::Unload(int mode) {
  if (!loaded_) return true;
  int cancel = 0;
  Form_QueryUnload(cancel, mode);
  if (cancel) return false;
  Form_Unload(cancel);
  if (cancel) return false;
  if (!loaded_) return true;  // unloaded again from inside its own handler
  loaded_ = false;
  auto& forms = LoadedForms();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  FormWindow* w = native_->window;
  w->Settle();
  w->closingFromCode = true;
  w->hide();
  w->closingFromCode = false;
  if (native_->modalLoop) native_->modalLoop->quit();
  if (forms.empty() && QCoreApplication::instance()) QCoreApplication::quit();
  return true;
}

void Form::CloseRequested() { Unload(unloadFromControlMenu); }

void Form::Resized() {
  if (loaded_ && !designing_) Form_Resize();
}

void Form::Refresh() {
  EnsureLoaded();
  native_->window->Settle();
  native_->window->repaint();
}

// The outer place and size, and the area inside, as the program gave them (the window takes them when events
// next run).
double Form::Left() {
  EnsureLoaded();
  return native_->window->Place().x() * TwipsPerPixelX();
}
double Form::Top() {
  EnsureLoaded();
  return native_->window->Place().y() * TwipsPerPixelY();
}
double Form::Width() {
  EnsureLoaded();
  return (native_->window->frameGeometry().width() + native_->window->Growth().width()) * TwipsPerPixelX();
}
double Form::Height() {
  EnsureLoaded();
  return (native_->window->frameGeometry().height() + native_->window->Growth().height()) * TwipsPerPixelY();
}
double Form::ScaleWidth() {
  EnsureLoaded();
  PlaceArea(native_->window);
  return (native_->container->width() + native_->window->Growth().width()) * TwipsPerPixelX();
}
double Form::ScaleHeight() {
  EnsureLoaded();
  PlaceArea(native_->window);
  return (native_->container->height() + native_->window->Growth().height()) * TwipsPerPixelY();
}
void Form::SetLeft(double twips) { Move(twips, Top()); }
void Form::SetTop(double twips) { Move(Left(), twips); }
void Form::SetWidth(double twips) {
  EnsureLoaded();
  FormWindow* w = native_->window;
  const int frame = w->frameGeometry().width() - w->width();
  w->Want(std::nullopt, QSize(std::max(1, ToPixelsX(twips) - frame), w->InsideSize().height()));
}
void Form::SetHeight(double twips) {
  EnsureLoaded();
  FormWindow* w = native_->window;
  const int frame = w->frameGeometry().height() - w->height();
  w->Want(std::nullopt, QSize(w->InsideSize().width(), std::max(1, ToPixelsY(twips) - frame)));
}
void Form::Move(double left, double top) {
  EnsureLoaded();
  native_->window->Want(QPoint(ToPixelsX(left), ToPixelsY(top)), std::nullopt);
}

std::string Form::Caption() {
  EnsureLoaded();
  return native_->window->windowTitle().toStdString();
}
void Form::SetCaption(const std::string& caption) {
  EnsureLoaded();
  const QString title = text::ToQt(caption);
  if (title == native_->window->windowTitle()) return;
  native_->window->setWindowTitle(title);
  if (loaded_ && !designing_) CaptionChanged();
}

double Form::CaptionWidth() {
  EnsureLoaded();
  QWidget* w = native_->window;
  // The desktop draws the title bar, in a font and with buttons of its own; the style's title bar, with an
  // icon and every button, stands for it, and the caption keeps a bar's height free at either end of its
  // room (window managers keep more room around the caption than the style does).
  QStyleOptionTitleBar bar;
  bar.initFrom(w);
  bar.text = w->windowTitle();
  bar.icon = w->windowIcon();
  bar.titleBarFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                      Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint;
  bar.subControls = QStyle::SC_All;
  QStyle* style = w->style();
  bar.rect = QRect(0, 0, 2000, style->pixelMetric(QStyle::PM_TitleBarHeight, &bar, w));
  const QRect label = style->subControlRect(QStyle::CC_TitleBar, &bar, QStyle::SC_TitleBarLabel, w);
  QFont font = DesignFont();
  font.setBold(true);
  const int text = QFontMetrics(font).horizontalAdvance(bar.text);
  return (text + bar.rect.width() - label.width() + 2 * bar.rect.height()) * TwipsPerPixelX();
}

void Form::KeepOnScreen() {
  EnsureLoaded();
  native_->window->FitNow();
}

int Form::WindowState() {
  EnsureLoaded();
  const Qt::WindowStates s = native_->window->windowState();
  if (s & Qt::WindowMinimized) return stateMinimized;
  if (s & Qt::WindowMaximized) return stateMaximized;
  return stateNormal;
}
void Form::SetWindowState(int state) {
  EnsureLoaded();
  native_->window->Settle();
  Qt::WindowStates s = native_->window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (state == stateMinimized) s |= Qt::WindowMinimized;
  if (state == stateMaximized) s |= Qt::WindowMaximized;
  native_->window->setWindowState(s);
}

int Form::MousePointer() {
  EnsureLoaded();
  return native_->mousePointer;
}
void Form::SetMousePointer(int pointer) {
  EnsureLoaded();
  native_->mousePointer = pointer;
  if (pointer == pointerHourglass)
    native_->window->setCursor(Qt::WaitCursor);
  else if (pointer == pointerArrowHourglass)
    native_->window->setCursor(Qt::BusyCursor);
  else
    native_->window->unsetCursor();
}

bool Form::Visible() { return loaded_ && native_->window->isVisible(); }
void Form::SetVisible(bool visible) {
  if (visible)
    Show();
  else
    Hide();
}

long Form::hWnd() {
  EnsureLoaded();
  native_->window->Settle();  // what is done with the handle may read the window's place
  return HandleOf(native_->window);
}

void Form::SetTopMost(bool topMost) {
  EnsureLoaded();
  const bool shown = native_->window->isVisible();
  native_->window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
  if (shown) native_->window->show();
}

void Form::SetBorderStyle(int style) {
  EnsureLoaded();
  native_->window->Settle();
  QWidget* w = native_->window;
  w->setWindowFlag(Qt::FramelessWindowHint, style == 0);
  if (style == 1) {
    w->setFixedSize(w->size());
  } else {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(detail::LargestSize(w));
  }
}

void Form::SetShowInTaskbar(bool show) {
  QWidget* w = native_->window;
  native_->inTaskbar = show;
  w->setWindowFlags((w->windowFlags() & ~Qt::WindowType_Mask) | (show ? Qt::Window : Qt::Tool));
  w->setWindowFlag(Qt::WindowDoesNotAcceptFocus, !show);
  w->setAttribute(Qt::WA_ShowWithoutActivating, !show);
}

void Form::SetBackColor(long color) {
  EnsureLoaded();
  QWidget* c = native_->container;
  QPalette p = c->palette();
  p.setColor(QPalette::Window, QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
  c->setPalette(p);
  c->setAutoFillBackground(true);
}

void Form::SetFontSize(double points) {
  EnsureLoaded();
  QFont f = native_->container->font();
  f.setPointSizeF(points);
  native_->container->setFont(f);
}

void Form::SetIcon(const std::string& picturePath) {
  native_->window->setWindowIcon(QIcon(QString::fromStdString(picturePath)));
}

void Form::PopupMenu(Menu& menu) {
  if (QMenu* m = menu.NativeMenu()) m->exec(QCursor::pos());
}

void Form::Adopt(std::unique_ptr<Control> control) {
  const std::string name = control->Name();
  runtime_[name] = std::move(control);
}

void Form::Adopt(Control* control) { controls_.insert(control); }
void Form::Release(Control* control) { controls_.erase(control); }
void Form::Adopt(Timer* timer) { timers_.push_back(timer); }
void Form::Release(Timer* timer) { timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end()); }

void Form::ThrowNameInUse(const std::string& name) {
  Raise(727, "There is already a control with the name '" + name + "'");
}

std::vector<Control*> Form::Controls() const {
  return {controls_.begin(), controls_.end()};
}

Control* Form::FindControl(const std::string& name) {
  auto it = runtime_.find(name);
  return it == runtime_.end() ? nullptr : it->second.get();
}

void Form::RemoveControl(const std::string& name) {
  auto it = runtime_.find(name);
  if (it == runtime_.end()) Raise(730, "Control '" + name + "' not found");
  runtime_.erase(it);
}

const std::vector<Form*>& Forms() { return LoadedForms(); }

QFont DesignFont() {
  QFont font(QStringLiteral("Sans Serif"), 8);
  font.setResolveMask(QFont::AllPropertiesResolved);
  return font;
}

QPalette DesignPalette() {
  static const QPalette palette = [] {
    QPalette p;
    const auto set = [&p](QPalette::ColorRole role, QRgb normal, QRgb disabled) {
      p.setColor(QPalette::Active, role, QColor(normal));
      p.setColor(QPalette::Inactive, role, QColor(normal));
      p.setColor(QPalette::Disabled, role, QColor(disabled));
    };
    set(QPalette::WindowText, 0x000000, 0xbebebe);
    set(QPalette::Button, 0xefefef, 0xefefef);
    set(QPalette::Light, 0xffffff, 0xffffff);
    set(QPalette::Midlight, 0xcacaca, 0xcacaca);
    set(QPalette::Dark, 0x9f9f9f, 0xbebebe);
    set(QPalette::Mid, 0xb8b8b8, 0xb8b8b8);
    set(QPalette::Text, 0x000000, 0xbebebe);
    set(QPalette::BrightText, 0xffffff, 0xffffff);
    set(QPalette::ButtonText, 0x000000, 0xbebebe);
    set(QPalette::Base, 0xffffff, 0xefefef);
    set(QPalette::Window, 0xefefef, 0xefefef);
    set(QPalette::Shadow, 0x767676, 0xb1b1b1);
    set(QPalette::Highlight, 0x308cc6, 0x919191);
    set(QPalette::HighlightedText, 0xffffff, 0xffffff);
    set(QPalette::Link, 0x0000ff, 0x0000ff);
    set(QPalette::LinkVisited, 0xff00ff, 0xff00ff);
    set(QPalette::AlternateBase, 0xf7f7f7, 0xf7f7f7);
    set(QPalette::ToolTipBase, 0xffffdc, 0xffffdc);
    set(QPalette::ToolTipText, 0x000000, 0x000000);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
      p.setColor(group, QPalette::PlaceholderText, QColor(0, 0, 0, 128));
    return p;
  }();
  return palette;
}

Form* FormOfHandle(long hWnd) {
  for (Form* f : LoadedForms())
    if (HandleOf(f->Window()) == hWnd) return f;
  return nullptr;
}

Menu* Form::FindMenu(const std::string& name) {
  for (Menu* m : menus_)
    if (m->Name() == name) return m;
  return nullptr;
}

void testing::DiscardForms() {
  while (!LoadedForms().empty()) {
    Form* f = LoadedForms().back();
    LoadedForms().pop_back();
    f->loaded_ = false;
    f->loading_ = false;
    auto* w = static_cast<FormWindow*>(f->native_->window);
    w->Settle();
    w->closingFromCode = true;
    w->hide();
    w->closingFromCode = false;
  }
}

void testing::PlaceAtOnce(bool atOnce) { g_placeAtOnce = atOnce; }

namespace {

// Twips per pixel of the primary screen, across and down. Every position a control is given or asked for
// goes through them (a strip of tickers moves thousands of controls at each tick), so they are measured
// once and again only when the primary screen or its resolution changes.
struct ScreenScale {
  double x = 0, y = 0;  // 0: to be measured
  QPointer<QScreen> watched;
};
ScreenScale g_scale;

double TwipsPerPixel(double dpi) { return 1440.0 / (dpi > 0 ? dpi : 96.0); }

const ScreenScale& Scale() {
  if (g_scale.x > 0) return g_scale;
  static ScreenScale unmeasured;
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) {
    unmeasured.x = unmeasured.y = TwipsPerPixel(96.0);
    return unmeasured;
  }
  if (g_scale.watched != s) {
    static bool watchingApplication = false;
    if (!watchingApplication) {
      watchingApplication = true;
      QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, [] { g_scale.x = g_scale.y = 0; });
      QObject::connect(qGuiApp, &QObject::destroyed, [] {
        g_scale = ScreenScale{};
        watchingApplication = false;
      });
    }
    g_scale.watched = s;
    QObject::connect(s, &QScreen::logicalDotsPerInchChanged, [s] {
      if (g_scale.watched == s) g_scale.x = g_scale.y = 0;
    });
  }
  g_scale.x = TwipsPerPixel(s->logicalDotsPerInchX());
  g_scale.y = TwipsPerPixel(s->logicalDotsPerInchY());
  return g_scale;
}

}  // namespace

double TwipsPerPixelX() { return Scale().x; }
double TwipsPerPixelY() { return Scale().y; }
int ToPixelsX(double twips) { return static_cast<int>(twips / TwipsPerPixelX() + (twips >= 0 ? 0.5 : -0.5)); }
int ToPixelsY(double twips) { return static_cast<int>(twips / TwipsPerPixelY() + (twips >= 0 ? 0.5 : -0.5)); }
double ScreenWidth() {
  const QScreen* s = QGuiApplication::primaryScreen();
  return (s ? s->geometry().width() : 1024) * TwipsPerPixelX();
}
double ScreenHeight() {
  const QScreen* s = QGuiApplication::primaryScreen();
  return (s ? s->geometry().height() : 768) * TwipsPerPixelY();
}

}  // namespace rt
