#pragma once



#include "platform/controls/Control.h"

namespace rt {

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

}  // namespace rt
