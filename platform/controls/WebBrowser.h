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
  // Ends the page on show: its scripts, requests and sounds stop, and the control is empty (no address, no
  // events) until the next Navigate.
  void Blank();
  Handler DownloadBegin;
  Handler DownloadComplete;
};

}  // namespace rt
