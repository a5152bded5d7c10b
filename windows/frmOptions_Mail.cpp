// The options dialog's notification switches and test sends. A switch stays ticked only while the fields
// its channel needs are set up; it writes its settings variable at once, before Apply or OK. A test button
// sends a fixed message through the main window's mail sender and looks red while it runs.

#include <string>

#include "library/ErrorTrap.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Strings.h"
#include "windows/frmOptions.h"

namespace settings = Tollerwick_Sub;

namespace {

constexpr const char* kServerPlaceholder = "RaDArazIzuvav";  // the settings default of the mail server
// Sample addresses that count as not typed in. Neither is a settings default: the SMS sample has the
// default's phone number at another gateway.
constexpr const char* kEmailSample = "yourname@mailprovider.example";
constexpr const char* kSmsSample = "+491701234567@sms-provider.example";
constexpr const char* kWebSmsDefault = "http://www.websms.example";  // the settings default of the web-SMS site

constexpr int kSetupErrorStyle = rt::mbCritical + 256;  // 256: the second button is the default
constexpr long kSending = 0x0000FF;                     // red
constexpr long kButtonFace = 0x8000000FL;               // the desktop's button faces

constexpr const char* kTestSubject = "TEST Ticker Tollerwick";
constexpr const char* kTestBody = "TEST Ticker = 17.26 /exceeded High Limit";
constexpr const char* kTestSmsBody = "VYK = 17.3 /HL";

Trap Here(const char* handler) { return HandlerTrap(std::string(handler) + " of Formular frmOptions"); }

// One run of a switch: ticked, it keeps its variable at 1 unless `unset` finds its set-up incomplete;
// anything else turns it off. Unticking runs the handler once more, nested, with the box at 0.
template <class Unset>
void Switch(rt::CheckBox& box, int& setting, Unset unset, const char* message) {
  if (box.Value() == 1) {
    setting = 1;
    if (unset()) {
      rt::MsgBox(message, kSetupErrorStyle, "Setup Error");
      box.SetValue(0);
      setting = 0;
    }
  } else {
    box.SetValue(0);
    setting = 0;
  }
  rt::DoEvents();
}

// A recipient is refused when it is blank or has no "@" after its first character.
bool NoAddress(const std::string& address) { return rt::Trim(address).empty() || rt::InStr(address, "@") < 2; }

void Refuse(const char* message) { rt::MsgBox(message, rt::mbCritical); }

}  // namespace

void frmOptions::DesignMail() {
  chkEMail1.Click = [this] { chkEMail1_Click(); };
  chkEMail2.Click = [this] { chkEMail2_Click(); };
  chkSMS.Click = [this] { chkSMS_Click(); };
  chkInternetSMS.Click = [this] { chkInternetSMS_Click(); };
  cmdTestEmail1.Click = [this] { cmdTestEmail1_Click(); };
  cmdTestEmail2.Click = [this] { cmdTestEmail2_Click(); };
  cmdTestSMS.Click = [this] { cmdTestSMS_Click(); };
  // the test buttons show their back colour: the normal look, and red while sending
  for (rt::CommandButton* test : {&cmdTestEmail1, &cmdTestEmail2, &cmdTestSMS}) test->SetBackColor(kButtonFace);
}

void frmOptions::chkEMail1_Click() {
  Here("chkEMail1_Click")([&] {
    Switch(
        chkEMail1, settings::chkEMail1,
        [&] {
          const std::string server = rt::Trim(txtEmailServer.Text()), address = rt::Trim(txtToEmailAddress1.Text());
          return server.empty() || server == kServerPlaceholder || address.empty() || address == kEmailSample;
        },
        "Please SETUP EMailServer and EMail Address 1");
  });
}

void frmOptions::chkEMail2_Click() {
  // the placeholder server is not refused here
  Here("chkEMail2_Click")([&] {
    Switch(
        chkEMail2, settings::chkEMail2,
        [&] { return rt::Trim(txtEmailServer.Text()).empty() || rt::Trim(txtToEmailAddress2.Text()).empty(); },
        "Please SETUP EMailServer and EMail Address 2");
  });
}

void frmOptions::chkSMS_Click() {
  Here("chkSMS_Click")([&] {
    Switch(
        chkSMS, settings::chkSMS,
        [&] {
          const std::string server = rt::Trim(txtEmailServer.Text()), address = rt::Trim(txtToSMSAddress.Text());
          return server.empty() || server == kServerPlaceholder || address.empty() || address == kSmsSample;
        },
        "Please SETUP EMailServer and SMS Gateway");
  });
}

void frmOptions::chkInternetSMS_Click() {
  Here("chkInternetSMS_Click")([&] {
    Switch(
        chkInternetSMS, settings::chkInternetSMS,
        [&] {
          const std::string site = rt::Trim(txtToInternetSMSAddress.Text());
          return site.empty() || site == kWebSmsDefault;
        },
        "Please SETUP homepage of free Internet SMS provider");
  });
}

// The send waits with events running, and the user may close the dialog meanwhile: a dialog closed then is
// not loaded again (its Form_Load run anew) just to give the button its look back.
void frmOptions::SendDone(rt::CommandButton& button, const char* caption) {
  if (IsLoaded()) {
    button.SetBackColor(kButtonFace);
    button.SetCaption(caption);
  }
  rt::DoEvents();
}

void frmOptions::cmdTestEmail1_Click() {
  Here("cmdTestEmail1_Click")([&] {
    const std::string address = txtToEmailAddress1.Text();
    if (NoAddress(address) || rt::Trim(address) == kEmailSample) return Refuse("Please type in EMail Address 1");
    cmdTestEmail1.SetCaption("sending .....");
    cmdTestEmail1.SetBackColor(kSending);
    Tollerwick_Main::MainForm->SendEmail(txtEmailServer.Text(), "Brennavale", settings::txtUserEmail,
                                         txtToEmailAddress1.Text(), txtToEmailAddress1.Text(), kTestSubject,
                                         kTestBody);
    SendDone(cmdTestEmail1, "Test Email 1");
  });
}

void frmOptions::cmdTestEmail2_Click() {
  Here("cmdTestEmail2_Click")([&] {
    if (NoAddress(txtToEmailAddress2.Text())) return Refuse("Please type in EMail Address 2");
    cmdTestEmail2.SetCaption("sending .....");
    cmdTestEmail2.SetBackColor(kSending);
    Tollerwick_Main::MainForm->SendEmail(txtEmailServer.Text(), "Brennavale", settings::txtUserEmail,
                                         txtToEmailAddress2.Text(), txtToEmailAddress2.Text(), kTestSubject,
                                         kTestBody);
    SendDone(cmdTestEmail2, "Test Email 2");
  });
}

void frmOptions::cmdTestSMS_Click() {
  Here("cmdTestSMS_Click")([&] {
    const std::string address = txtToSMSAddress.Text();
    if (NoAddress(address) || rt::Trim(address) == kSmsSample) return Refuse("Please type in the Internet to SMS Gateway");
    cmdTestSMS.SetBackColor(kSending);
    cmdTestSMS.SetCaption("sending SMS  .....");
    Tollerwick_Main::MainForm->SendEmail(txtEmailServer.Text(), "Tollerwick", settings::txtUserEmail,
                                         txtUserName.Text(), txtToSMSAddress.Text(), txtToSMSSubject.Text(),
                                         kTestSmsBody);
    SendDone(cmdTestSMS, "Test SMS");
  });
}
