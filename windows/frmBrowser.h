#pragma once
// The program's own browser window: one page, a ticker's chart, with the window's position kept between runs.

#include <string>

#include "platform/controls/Form.h"
#include "platform/controls/WebBrowser.h"

class frmBrowser : public rt::Form {
 public:
  frmBrowser();

  rt::WebBrowser brwWebBrowser2{*this, "brwWebBrowser2"};
  // The address shown when the window loads.
  std::string StartingAddress2;

  void brwWebBrowser2_DownloadBegin();
  void brwWebBrowser2_DownloadComplete();

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Resize() override;
  void Form_Unload(int& Cancel) override;

 private:
  void FitBrowser();
};
