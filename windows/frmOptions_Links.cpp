// The options dialog's links: web pages of the maker, of the data providers and of an SMS information site,
// opened in the user's browser, and the prepared mail to the maker asking for a new data provider, opened
// in the user's mail program.

#include <string>
#include <string_view>

#include "library/ErrorTrap.h"
#include "library/Servers.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Strings.h"
#include "platform/win32/Shell.h"
#include "windows/frmOptions.h"

namespace {

constexpr long kLink = 0xFF0000;  // blue
constexpr int kLinkPointer = 99;  // the links' own pointer, a pointing hand
constexpr const char* kRequestAddress = "dataprovider@vyk.example";

Trap Here(const char* handler) { return HandlerTrap(std::string(handler) + " of Formular frmOptions"); }

// A byte a mailto: address takes as it is: letters, digits and "-._~". Every other byte of a value is
// percent-encoded, "%" too, so that no blank, line break, "&", "?", "#" or "%" of a value can end it early.
bool Unreserved(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
         std::string_view("-._~").find(static_cast<char>(byte)) != std::string_view::npos;
}

// The request mail: to the maker, with its subject and the start of its body filled in. It asks for no
// attachment: a file of the user's disk has no business in a mail the user did not choose to send it with.
std::string RequestMail() {
  struct Field {
    const char* name;
    std::string value;
  };
  const Field fields[] = {
      {"Subject", "Tollerwick - request for new Data Provider"},
      {"cc", " "},
      {"bcc", " "},
      {"Body", std::string("Please add the following Data Provider to Tollerwick:") + rt::vbCrLf + rt::vbCrLf},
  };
  std::string address =
      "mailto:" + Servers::Encoded(kRequestAddress, [](unsigned char c) { return Unreserved(c) || c == '@'; }, false);
  char separator = '?';
  for (const Field& field : fields) {
    address += separator + std::string(field.name) + "=" + Servers::Encoded(field.value, Unreserved, false);
    separator = '&';
  }
  return address;
}

}  // namespace

void frmOptions::DesignLinks() {
  cmdProducts.Click = [this] { cmdProducts_Click(); };
  Label2.Click = [this] { Label2_Click(); };
  Label13.Click = [this] { Label13_Click(); };
  lblFreeRealTime.Click = [this] { lblFreeRealTime_Click(); };
  Label20.Click = [this] { Label20_Click(); };
  lblEmail.Click = [this] { lblEmail_Click(); };
  for (rt::Label* link : {&Label2, &Label13, &lblFreeRealTime, &Label20, &lblEmail}) {
    link->SetForeColor(kLink);
    link->SetMousePointer(kLinkPointer);
  }
  lblEmail.SetToolTipText("eMail to VYK");
}

void frmOptions::cmdProducts_Click() {
  Here("cmdProducts_Click")([&] {
    win32::ShellExecuteA(hWnd(), "open", Servers::Url("MakerHome", "/vyk/products/suite_e.htm"), "0", "0", 5);
    rt::DoEvents();
  });
}

void frmOptions::Label2_Click() {
  Here("Label2_Click")([&] {
    win32::ShellExecuteA(hWnd(), "open", Servers::Url("MakerHome", "/vyk"), "0", "0", 5);
    rt::DoEvents();
  });
}

void frmOptions::Label13_Click() {
  Here("Label13_Click")([&] {
    win32::ShellExecuteA(hWnd(), "open", Servers::Url("Provider1Finance", "/q?d=e"), "0", "0", 5);
    rt::DoEvents();
  });
}

void frmOptions::lblFreeRealTime_Click() {
  Here("lblFreeRealTime_Click")([&] {
    win32::ShellExecuteA(hWnd(), "open", Servers::Url("Provider2Quotes", ""), "0", "0", 5);
    rt::DoEvents();
  });
}

void frmOptions::Label20_Click() {
  Here("Label20_Click")([&] {
    win32::ShellExecuteA(hWnd(), "open", Servers::Url("SmsListSite", "/sms/service/weltweit.htm"), "0", "0", 5);
    rt::DoEvents();
  });
}

// The mail program opens the address as a prepared mail. With no mail program to take it the request is lost,
// so that failure is an error of this handler: logged, and the main window's error lamp lit.
void frmOptions::lblEmail_Click() {
  Here("lblEmail_Click")([&] {
    const long result = win32::ShellExecuteA(hWnd(), "open", RequestMail(), "0", "0", 5);
    if (result <= 32) rt::Raise(rt::errFileNotFound, "No mail program takes the request mail");
    rt::DoEvents();
  });
}
