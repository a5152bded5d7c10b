#pragma once
// A form's timer: its Tick handler runs every Interval milliseconds while it is enabled and the form is
// loaded.

#include <string>

#include "platform/controls/Control.h"

class QTimer;

namespace rt {

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

}  // namespace rt
