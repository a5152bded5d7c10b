#pragma once
// The intrinsic controls of a form, with the members the program uses. A control belongs to one form
// and is placed on it in twips. Setting a text or value from code runs the control's change or click
// handler at once, as a user's change would; setting the value it already has runs nothing; while the
// form lays out its design values nothing runs. Any access loads the form when it is not loaded.
// Colours are the run time's colour numbers: red + 256 * green + 65536 * blue; with the high bit set
// (&H80000000 + index) a colour of the desktop: &H80000012 button text, &H8000000E highlighted text.

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class QMenu;
class QAction;
class QTimer;
class QFont;
class QShortcut;
class QPainter;
class QPixmap;
class QRect;

namespace rt {

class Form;
class WindowlessHost;

using Handler = std::function<void()>;

class Control {
 public:
  Control(Form& owner, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  Form& Parent() const { return form_; }

  bool Enabled();
  void SetEnabled(bool enabled);
  bool Visible();
  void SetVisible(bool visible);
  double Left();
  double Top();
  double Width();
  double Height();
  void Move(double left, double top, double width = -1, double height = -1);
  void SetLeft(double twips);
  void SetTop(double twips);
  void SetWidth(double twips);
  void SetHeight(double twips);
  std::string ToolTipText();
  void SetToolTipText(const std::string& text);
  long BackColor();
  void SetBackColor(long color);
  long ForeColor();
  void SetForeColor(long color);
  std::string FontName();
  void SetFontName(const std::string& name);
  double FontSize();
  void SetFontSize(double points);
  bool FontBold();
  void SetFontBold(bool bold);
  long hWnd();
  void SetFocus();
  void Refresh();
  // 0 default, 1 arrow, 11 hourglass, 15 the four-way sizing pointer, 99 the control's own pointer: the
  // pointing hand of a link.
  void SetMousePointer(int pointer);

  // For the layer. A windowless control has no widget: its container draws it and passes it the mouse.
  QWidget* Widget() const { return widget_; }
  bool IsWindowless() const { return face_ != nullptr; }
  // Back to the state of a new control, before a form lays out its design again.
  virtual void Reset();
  // A windowless control moves to another container (a frame, a tab page); nothing for a windowed one.
  void MoveToContainer(QWidget* container);
  // What the container asks of a windowless control: its place in pixels of the container, whether it
  // shows and takes the mouse, and its drawing; mouse events arrive as 1 down, 2 up, 3 click,
  // 4 double click, 5 move, with the button (1 left, 2 right, 4 middle; for a move the buttons held).
  QRect FaceRect() const;
  QWidget* FaceContainer() const;
  bool FaceShown() const;
  bool FaceTakesMouse() const;
  int FacePointer() const;
  std::string FaceToolTip() const;
  virtual void PaintFace(QPainter& /*painter*/) {}
  virtual void FaceMouse(int /*kind*/, int /*button*/) {}
  // The control has moved wholly outside its container: what it keeps only for drawing can go.
  virtual void FaceOutOfSight() {}

 protected:
  void Attach(QWidget* widget);
  // Makes this a control without a window of its own, drawn by the form's area.
  void AttachWindowless();
  // Asks the container to draw the control again.
  void Invalidate();
  // The font a windowless control draws with: its own attributes where set, else its container's.
  QFont FaceFont() const;
  // Whether the control's back colour fills it (an opaque back style, or a back colour set).
  bool FaceFilled() const;
  void SetFill(bool fill);
  void Touch();
  // Runs a handler unless the form is laying out its design.
  void Fire(const Handler& handler);

  Form& form_;
  std::string name_;
  QWidget* widget_ = nullptr;
  long backColor_ = -1, foreColor_ = -1;
  QFont* initialFont_ = nullptr;
  // The place as set, in twips: it reads back exactly, whatever the screen's pixels make of it.
  bool placed_ = false;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;

 private:
  friend class WindowlessHost;
  struct Face;
  std::unique_ptr<Face> face_;
};

// Puts these controls of one window last in its focus order (the order the Tab key visits them), in the
// order given.
void PutLastInTabOrder(std::initializer_list<Control*> controls);

class CommandButton : public Control {
 public:
  CommandButton(Form& owner, std::string name);
  std::string Caption();
  void SetCaption(const std::string& caption);
  // Pressing the button from code.
  void PerformClick();
  // The cancel button of its window: the Esc key presses it.
  void SetCancel(bool cancel);
  void Reset() override;
  Handler Click;

 private:
  QShortcut* escape_ = nullptr;
};

class CheckBox : public Control {
 public:
  CheckBox(Form& owner, std::string name);
  std::string Caption();
  void SetCaption(const std::string& caption);
  // 0 unticked, 1 ticked, 2 greyed.
  int Value();
  void SetValue(int value);
  void Reset() override;
  Handler Click;
};

class OptionButton : public Control {
 public:
  OptionButton(Form& owner, std::string name);
  std::string Caption();
  void SetCaption(const std::string& caption);
  bool Value();
  // Selecting a button clears the others of its container.
  void SetValue(bool value);
  void Reset() override;
  Handler Click;
};

class TextBox : public Control {
 public:
  // A multi-line box wraps its lines and may scroll.
  TextBox(Form& owner, std::string name, bool multiLine = false);
  std::string Text();
  void SetText(const std::string& text);
  int MaxLength();
  void SetMaxLength(int length);
  bool Locked();
  void SetLocked(bool locked);
  // A password box shows this character for every character typed; "" shows the text.
  void SetPasswordChar(const std::string& c);
  long SelStart();
  void SetSelStart(long start);
  long SelLength();
  void SetSelLength(long length);
  void SetAlignment(int alignment);  // 0 left, 1 right, 2 centre
  void Reset() override;
  Handler Change;
  Handler LostFocus;

 private:
  bool multiLine_;
  std::string lastText_;
};

// A label is windowless: it has no window handle of its own.
class Label : public Control {
 public:
  Label(Form& owner, std::string name);
  ~Label() override;
  long hWnd() = delete;
  std::string Caption();
  void SetCaption(const std::string& caption);
  void SetAlignment(int alignment);  // 0 left, 1 right, 2 centre
  bool WordWrap();
  void SetWordWrap(bool wrap);
  // 0 transparent, 1 opaque
  void SetBackStyle(int style);
  void SetBorderStyle(int style);  // 0 none, 1 single
  void Reset() override;
  void PaintFace(QPainter& painter) override;
  void FaceMouse(int kind, int button) override;
  void FaceOutOfSight() override;
  Handler Click;
  Handler DblClick;
  // The caption has changed.
  Handler Change;
  // A mouse button pressed or released on the label: 1 left, 2 right, 4 middle.
  std::function<void(int button)> MouseDown;
  std::function<void(int button)> MouseUp;
  // The mouse moved over the label (or, while a button pressed on it is held, anywhere): the buttons held.
  std::function<void(int buttons)> MouseMove;

 private:
  std::string caption_;
  int alignment_ = 0;
  bool wordWrap_ = false;
  int borderStyle_ = 0;
  // the caption laid out once for its font and width, and drawn from there while they stay
  struct Layout;
  std::unique_ptr<Layout> layout_;
};

// An image control: shows a picture file, and may have a back colour. Windowless, as a label.
class PictureBox : public Control {
 public:
  PictureBox(Form& owner, std::string name);
  ~PictureBox() override;
  long hWnd() = delete;
  // Loads the picture file (53 when it is missing); "" clears the picture.
  void LoadPicture(const std::string& path);
  const std::string& PicturePath() const { return picture_; }
  void SetStretch(bool stretch);
  void SetBorderStyle(int style);
  void Reset() override;
  void PaintFace(QPainter& painter) override;
  void FaceMouse(int kind, int button) override;
  Handler Click;

 private:
  std::string picture_;
  std::unique_ptr<QPixmap> pixmap_;
  bool stretch_ = false;
  int borderStyle_ = 0;
};

// A picture that moves: an animated picture file, played in a loop while the control can be seen.
class AnimatedPicture : public Control {
 public:
  AnimatedPicture(Form& owner, std::string name);
  // Loads the animation (53 when the file is missing); it plays while the control is shown.
  void LoadAnimation(const std::string& path);
};

class ComboBox : public Control {
 public:
  // Style 0: a text box with a list; style 2: a list only.
  ComboBox(Form& owner, std::string name, int style = 0);
  void AddItem(const std::string& item, int index = -1);
  void RemoveItem(int index);
  void Clear();
  int ListCount();
  std::string List(int index);
  int ListIndex();
  void SetListIndex(int index);
  std::string Text();
  void SetText(const std::string& text);
  void Reset() override;
  Handler Click;
  Handler Change;

 private:
  int style_;
};

class Frame : public Control {
 public:
  Frame(Form& owner, std::string name);
  std::string Caption();
  void SetCaption(const std::string& caption);
  // Puts a control inside the frame; its place counts from the frame's corner from then on. Option buttons
  // in one frame form one group.
  void Place(Control& control);
};

// A vertical scroll bar: the value grows downwards.
class ScrollBar : public Control {
 public:
  ScrollBar(Form& owner, std::string name);
  long Min();
  long Max();
  long Value();
  void SetMin(long v);
  void SetMax(long v);
  // 380 (Invalid property value) outside Min .. Max.
  void SetValue(long v);
  void SetSmallChange(long v);
  void SetLargeChange(long v);
  void Reset() override;
  Handler Change;
};

// A row of tabs, each with a page that holds controls; positions on a page count from its corner.
class TabControl : public Control {
 public:
  TabControl(Form& owner, std::string name);
  void AddTab(const std::string& caption);
  int Tabs();
  std::string TabCaption(int tab);
  int Tab();
  void SetTab(int tab);
  void Place(Control& control, int tab);
  void Reset() override;
};

class Timer {
 public:
  Timer(Form& owner, std::string name);
  ~Timer();
  bool Enabled();
  void SetEnabled(bool enabled);
  long Interval();
  void SetInterval(long milliseconds);
  Handler Tick;  // the Timer event
  void Reset();

 private:
  void Update();
  Form& form_;
  std::string name_;
  QTimer* timer_;
  bool enabled_ = true;
  long interval_ = 0;
};

class Menu {
 public:
  // A menu of the form's menu bar, or an item of another menu.
  Menu(Form& owner, std::string name, Menu* parent = nullptr);
  ~Menu();
  const std::string& Name() const { return name_; }
  std::string Caption();
  void SetCaption(const std::string& caption);
  bool Visible();
  void SetVisible(bool visible);
  bool Enabled();
  void SetEnabled(bool enabled);
  bool Checked();
  void SetChecked(bool checked);
  Handler Click;
  // For the layer: the menu that holds this one's items (for a pop-up).
  QMenu* NativeMenu();

 private:
  void Rebuild();
  Form& form_;
  std::string name_;
  Menu* parent_;
  std::vector<Menu*> items_;
  QAction* action_ = nullptr;
  QMenu* menu_ = nullptr;
};

class StatusBar : public Control {
 public:
  // A bar along the bottom edge of its form with `panels` panels of text.
  StatusBar(Form& owner, std::string name, int panels = 1);
  // Panels count from 1.
  std::string PanelText(int panel);
  void SetPanelText(int panel, const std::string& text);
  void SetPanelWidth(int panel, double twips);
  std::string SimpleText();
  void SetSimpleText(const std::string& text);
  void Reset() override;

 private:
  std::vector<QWidget*> panels_;
};

class ProgressBar : public Control {
 public:
  ProgressBar(Form& owner, std::string name);
  long Min();
  long Max();
  long Value();
  void SetMin(long v);
  void SetMax(long v);
  void SetValue(long v);
  void Reset() override;
};

// A read-only box of formatted text (the news box).
class RichTextBox : public Control {
 public:
  RichTextBox(Form& owner, std::string name);
  std::string Text();
  void SetText(const std::string& text);
  void SetLocked(bool locked);
  void Reset() override;
  Handler Change;
};

}  // namespace rt
