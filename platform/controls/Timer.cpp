#include "platform/controls/Timer.h"

#include <QTimer>
#include <QWidget>

#include "platform/controls/Form.h"
#include "platform/runtime/Error.h"

namespace rt {

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
void Timer::Reset() {
  enabled_ = true;
  interval_ = 0;
  Update();
}

}  // namespace rt
