#pragma once
// Pictures: a still one, drawn by its container, and an animated one.

#include <memory>
#include <string>

#include "platform/controls/Control.h"

class QPainter;
class QPixmap;

namespace rt {

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

}  // namespace rt
