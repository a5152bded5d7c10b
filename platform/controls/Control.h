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

class QWidget;
class QFont;
class QPainter;
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

}  // namespace rt
