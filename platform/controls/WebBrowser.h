#pragma once
// The web browser control: shows one web page. A download's begin and end are its two events.

#include <string>

#include "platform/controls/Controls.h"

namespace rt {

class WebBrowser : public Control {
 public:
  WebBrowser(Form& owner, std::string name);
  // Starts loading the address; the events tell how it goes.
  void Navigate(const std::string& address);
  std::string LocationURL();
  Handler DownloadBegin;
  Handler DownloadComplete;
};

}  // namespace rt
