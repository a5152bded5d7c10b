#pragma once
// The web browser control: shows one web page. A download's begin and end are its two events. The web
// engine is loaded when the first page is asked for.

#include <memory>
#include <string>

#include "platform/controls/Controls.h"

namespace rt {

class WebEngineView;

class WebBrowser : public Control {
 public:
  WebBrowser(Form& owner, std::string name);
  ~WebBrowser() override;
  // Starts loading the address; the events tell how it goes. 429 when the web engine cannot be loaded.
  void Navigate(const std::string& address);
  std::string LocationURL();
  // Ends the page on show: its scripts, requests and sounds stop, and the control is empty (no address, no
  // events) until the next Navigate.
  void Blank();
  Handler DownloadBegin;
  Handler DownloadComplete;

 private:
  WebEngineView& View();
  std::unique_ptr<WebEngineView> view_;
};

namespace testing {
// Whether the web engine module has been loaded into the process.
bool WebEngineLoaded();
}  // namespace testing

}  // namespace rt
