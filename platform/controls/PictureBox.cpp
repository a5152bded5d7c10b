#include "platform/controls/PictureBox.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/PictureFiles.h"
#include "platform/runtime/Error.h"

namespace rt {

using namespace detail;

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
void PictureBox::Reset() {
  Control::Reset();
  picture_.clear();
  pixmap_.reset();
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

}  // namespace rt
