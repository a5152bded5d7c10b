#pragma once
// The status bar along a form's bottom edge, and the progress bar.

#include <string>
#include <vector>

#include "platform/controls/Control.h"

class QWidget;

namespace rt {

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

}  // namespace rt
