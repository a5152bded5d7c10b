#pragma once
// Forms: top-level windows with the run time's life cycle. A form is created once (its default instance,
// on first use) and then loaded, shown, hidden and unloaded any number of times. Loading lays out its
// controls with their design values (no events run while it does) and then runs Form_Load. Reading or
// writing a control of a form that is not loaded loads it first, without showing it.
// Positions and sizes are in twips (1440 to the inch of the screen).

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QWidget;
class QMainWindow;
class QFont;
class QPalette;

namespace rt {

class Menu;
class Control;
class Timer;
namespace testing {
void DiscardForms();
}

enum WindowStateValue : int { stateNormal = 0, stateMinimized = 1, stateMaximized = 2 };
enum MousePointerValue : int { pointerDefault = 0, pointerArrow = 1, pointerHourglass = 11, pointerArrowHourglass = 13 };
enum UnloadModeValue : int { unloadFromControlMenu = 0, unloadFromCode = 1, unloadAppWindows = 2 };

class Form {
 public:
  explicit Form(std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }

  void Load();
  // Loads when needed; a modal show (modal = 1) returns when the window is hidden or unloaded.
  void Show(int modal = 0, Form* owner = nullptr);
  void Hide();
  // Runs Form_Unload (which may cancel), then closes the window and takes the form out of Forms().
  // Returns false when cancelled.
  bool Unload(int mode = unloadFromCode);
  bool IsLoaded() const { return loaded_; }
  // What every control access does first.
  void EnsureLoaded() {
    if (!loaded_ && !loading_) Load();
  }
  void Refresh();

  double Left();
  double Top();
  double Width();
  double Height();
  void SetLeft(double twips);
  void SetTop(double twips);
  void SetWidth(double twips);
  void SetHeight(double twips);
  void Move(double left, double top);
  // The inside of the window, where controls stand.
  double ScaleWidth();
  double ScaleHeight();

  std::string Caption();
  void SetCaption(const std::string& caption);
  // The outer width (twips) the window needs for its whole caption in the title bar: the caption in the
  // design font, bold, beside the title bar's icon and buttons.
  double CaptionWidth();
  // Moves the window as little as it takes to have all of it inside the screen's available area (the screen
  // less its panels), or its top-left corner there when it is larger. Every show does as much, and so does
  // letting events run after the program has moved or sized a shown window; no window is ever sized larger
  // than that area.
  void KeepOnScreen();
  int WindowState();
  void SetWindowState(int state);
  int MousePointer();
  void SetMousePointer(int pointer);
  bool Visible();
  void SetVisible(bool visible);
  // A handle that names the window (non-zero while loaded).
  long hWnd();
  void SetTopMost(bool topMost);
  // 0 no border and no title bar, 1 a fixed frame, 2 a frame the user can size.
  void SetBorderStyle(int style);
  // A window out of the taskbar is a strip that only the program places: it is in no taskbar or pager, is
  // shown without taking the focus, and is never given it (set at design).
  void SetShowInTaskbar(bool show);
  void SetBackColor(long color);
  // The font size of the window's controls (points), unless a control has its own.
  void SetFontSize(double points);
  // The window's own icon, from a picture file.
  void SetIcon(const std::string& picturePath);
  // Shows a menu of this form at the mouse; the chosen item's handler runs before it returns.
  void PopupMenu(Menu& menu);
  // The form's menu of that name, or nullptr.
  Menu* FindMenu(const std::string& name);

  // Controls created while the program runs, by name. A name in use raises 727; a removed control's
  // name can be used again. They stay until removed, also when the form is unloaded.
  template <class T>
  T& AddControl(const std::string& name) {
    EnsureLoaded();
    if (FindControl(name)) ThrowNameInUse(name);
    auto control = std::make_unique<T>(*this, name);
    T& ref = *control;
    Adopt(std::move(control));
    return ref;
  }
  void RemoveControl(const std::string& name);
  // Every control of the form, made with it or at run time.
  std::vector<Control*> Controls() const;
  Control* FindControl(const std::string& name);
  size_t RuntimeControlCount() const { return runtime_.size(); }

  // For the layer: the window and the area that holds the controls.
  QWidget* Window() const;
  QWidget* Container() const;
  QMainWindow* MainWindow() const;
  bool Designing() const { return designing_; }

 protected:
  // Lays out the controls and gives them their design values.
  virtual void Design() {}
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/) {}
  virtual void Form_Unload(int& /*Cancel*/) {}
  virtual void Form_Resize() {}
  // The caption has been set to another text (not while the form lays out its design).
  virtual void CaptionChanged() {}
  // A mouse button pressed on the form itself: 1 left, 2 right, 4 middle.
  virtual void Form_MouseDown(int /*Button*/) {}
  // The window manager framed the shown window, or changed its frame (the margins around its area), or the
  // window was moved to keep it on the screen: its place changed without the program asking.
  virtual void FrameChanged() {}
  // The window's size in the design (twips), applied at every load.
  void DesignSize(double width, double height);

 private:
  struct Native;
  friend struct Native;
  void CloseRequested();
  void Adopt(std::unique_ptr<Control> control);
  // Every control of the form, made with it or at run time, is known to it.
  void Adopt(Control* control);
  void Release(Control* control);
  void Adopt(Timer* timer);
  void Release(Timer* timer);
  friend class Control;
  friend class Timer;
  friend class Menu;
  std::vector<Menu*> menus_;
  std::unordered_set<Control*> controls_;
  std::vector<Timer*> timers_;
  [[noreturn]] static void ThrowNameInUse(const std::string& name);
  std::unordered_map<std::string, std::unique_ptr<Control>> runtime_;
  friend void testing::DiscardForms();
  void Resized();

  std::string name_;
  bool loaded_ = false;
  bool loading_ = false;
  bool designing_ = false;
  std::unique_ptr<Native> native_;
};

// The loaded forms, in the order they were loaded.
const std::vector<Form*>& Forms();
// The loaded form whose window has this handle, or nullptr.
Form* FormOfHandle(long hWnd);

namespace testing {
// Hides every loaded form and marks it unloaded without running its handlers (between tests).
void DiscardForms();
// Every place and size the program gives a shown window goes to it at once, not when events next run.
void PlaceAtOnce(bool atOnce);
}

// The one instance of a form class, created on first use.
template <class F>
F& Default() {
  static F* instance = new F();
  return *instance;
}

// The look the forms were designed for, whatever the desktop's: the font their twips were laid out for and
// the light palette their colours were chosen against. Every form's window has both, and its controls take
// them unless they set their own; the desktop's colours by index (&H80000000 + index) are this palette's.
QFont DesignFont();
QPalette DesignPalette();

// Twips and pixels of the screen.
double TwipsPerPixelX();
double TwipsPerPixelY();
int ToPixelsX(double twips);
int ToPixelsY(double twips);
double ScreenWidth();
double ScreenHeight();

}  // namespace rt
