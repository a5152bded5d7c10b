#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/controls/Control.h"

class QPainter;

namespace rt {

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

}  // namespace rt
