#include <gtest/gtest.h>

#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmMessage.h"
#include "platform/runtime/Events.h"
#include "platform/win32/Shell.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/SmtpPeer.h"
#include "tests/support/Input.h"
#include "windows/frmOptions.h"

namespace {

constexpr long kRed = 0x0000FF;
constexpr long kButtonFace = 0x8000000FL;


// Watches a test button while its send runs: what it shows, and the message window, answered with "ok".
class SendWatch {
 public:
  explicit SendWatch(rt::CommandButton& button) : button_(button) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start(5);
  }

  std::string caption;
  long backColor = -1;
  std::vector<std::string> messages;

 private:
  void Look() {
    if (caption.empty()) {
      caption = button_.Caption();
      backColor = button_.BackColor();
    }
    frmMessage& box = rt::Default<frmMessage>();
    if (box.IsLoaded() && box.Visible()) {
      messages.push_back(box.lblMessage.Caption());
      box.Command1.PerformClick();
    }
  }

  rt::CommandButton& button_;
  QTimer timer_;
};

}  // namespace

class OptionsMail : public OptionsSandbox {
 protected:
  void SetUp() override {
    OptionsSandbox::SetUp();
    Shown().clear();
  }
  void TearDown() override {
    // a send that failed may have left its connection open
    if (Tollerwick_Main::MainForm) Tollerwick_Main::MainForm->Winsock1.Close();
    OptionsSandbox::TearDown();
  }
  static std::vector<rt::testing::ShownMessage>& Shown() { return rt::testing::MessageBoxes().shown; }
  // The one message shown since the last look, "" when none was.
  static std::string Message() {
    EXPECT_LE(Shown().size(), 1u);
    const std::string prompt = Shown().empty() ? std::string() : Shown().back().prompt;
    Shown().clear();
    return prompt;
  }
  // Ticks a switch as the user would and tells whether it stayed ticked.
  static bool Tick(rt::CheckBox& box) {
    box.SetValue(1);
    return box.Value() == 1;
  }
};

TEST_F(OptionsMail, EMail1StaysOnOnlyWithAServerAndAnAddress) {
  frmOptions& d = Dialog();
  d.txtToEmailAddress1.SetText("fred@example.org");
  d.txtEmailServer.SetText("  RaDArazIzuvav  ");  // the placeholder, with blanks around it
  EXPECT_FALSE(Tick(d.chkEMail1));
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].prompt, "Please SETUP EMailServer and EMail Address 1");
  EXPECT_EQ(Shown()[0].title, "Setup Error");
  EXPECT_EQ(Shown()[0].style, 272);
  Shown().clear();
  EXPECT_EQ(Tollerwick_Sub::chkEMail1, 0);

  d.txtEmailServer.SetText("mail.example.org");
  for (const char* unset : {"", "   ", "yourname@mailprovider.example"}) {
    d.txtToEmailAddress1.SetText(unset);
    EXPECT_FALSE(Tick(d.chkEMail1)) << unset;
    EXPECT_EQ(Message(), "Please SETUP EMailServer and EMail Address 1") << unset;
  }
  d.txtToEmailAddress1.SetText("fred@example.org");
  d.txtEmailServer.SetText(" ");
  EXPECT_FALSE(Tick(d.chkEMail1));
  EXPECT_EQ(Message(), "Please SETUP EMailServer and EMail Address 1");

  d.txtEmailServer.SetText("mail.example.org");
  EXPECT_TRUE(Tick(d.chkEMail1));
  EXPECT_EQ(Message(), "");
  // the setting follows at once, before Apply or OK
  EXPECT_EQ(Tollerwick_Sub::chkEMail1, 1);
  d.chkEMail1.SetValue(0);
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(Tollerwick_Sub::chkEMail1, 0);
}

TEST_F(OptionsMail, EMail2TakesThePlaceholderServerButNeedsAnAddress) {
  frmOptions& d = Dialog();
  ASSERT_EQ(d.txtEmailServer.Text(), "RaDArazIzuvav");
  EXPECT_FALSE(Tick(d.chkEMail2));
  EXPECT_EQ(Message(), "Please SETUP EMailServer and EMail Address 2");
  EXPECT_EQ(Tollerwick_Sub::chkEMail2, 0);

  d.txtToEmailAddress2.SetText("anna@example.net");
  EXPECT_TRUE(Tick(d.chkEMail2));
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(Tollerwick_Sub::chkEMail2, 1);

  // a greyed box counts as off
  d.chkEMail2.SetValue(2);
  EXPECT_EQ(d.chkEMail2.Value(), 0);
  EXPECT_EQ(Tollerwick_Sub::chkEMail2, 0);
  EXPECT_EQ(Message(), "");
}

TEST_F(OptionsMail, TheSmsSwitchTakesTheDefaultGatewayButNotTheSample) {
  frmOptions& d = Dialog();
  ASSERT_EQ(d.txtToSMSAddress.Text(), "+491701234567@sms-gateway.example");
  EXPECT_FALSE(Tick(d.chkSMS));  // the placeholder server
  EXPECT_EQ(Message(), "Please SETUP EMailServer and SMS Gateway");

  d.txtEmailServer.SetText("mail.example.org");
  EXPECT_TRUE(Tick(d.chkSMS));
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(Tollerwick_Sub::chkSMS, 1);

  for (const char* unset : {"+491701234567@sms-provider.example", ""}) {
    d.chkSMS.SetValue(0);
    d.txtToSMSAddress.SetText(unset);
    EXPECT_FALSE(Tick(d.chkSMS)) << unset;
    EXPECT_EQ(Message(), "Please SETUP EMailServer and SMS Gateway") << unset;
    EXPECT_EQ(Tollerwick_Sub::chkSMS, 0) << unset;
  }
}

TEST_F(OptionsMail, SwitchesLoadedOnWithoutTheirSetUpComeBackOff) {
  Tollerwick_Sub::chkSMS = 1;
  Tollerwick_Sub::txtToSMSAddress = "";
  Tollerwick_Sub::txtEmailServer = "mail.example.org";
  Tollerwick_Sub::chkInternetSMS = 1;  // with the web-SMS site at its default
  Tollerwick_Sub::chkEMail2 = 1;
  Tollerwick_Sub::txtToEmailAddress2 = "anna@example.net";

  EXPECT_EQ(Dialog().chkSMS.Value(), 0);  // loads the dialog
  EXPECT_EQ(Dialog().chkInternetSMS.Value(), 0);
  EXPECT_EQ(Dialog().chkEMail2.Value(), 1);
  ASSERT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Shown()[0].prompt, "Please SETUP EMailServer and SMS Gateway");
  EXPECT_EQ(Shown()[1].prompt, "Please SETUP homepage of free Internet SMS provider");
  EXPECT_EQ(Tollerwick_Sub::chkSMS, 0);
  EXPECT_EQ(Tollerwick_Sub::chkInternetSMS, 0);
  EXPECT_EQ(Tollerwick_Sub::chkEMail2, 1);
}

TEST_F(OptionsMail, AWebSmsSiteOfTheUsersOwnKeepsItsSwitch) {
  Tollerwick_Sub::chkInternetSMS = 1;
  Tollerwick_Sub::txtToInternetSMSAddress = "http://sms.example.net";
  EXPECT_EQ(Dialog().chkInternetSMS.Value(), 1);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Tollerwick_Sub::chkInternetSMS, 1);
}

TEST_F(OptionsMail, TestEmail2SendsTheTestMessageToAddress2) {
  peers::SmtpServer server;
  Tollerwick_Sub::txtUserEmail = "fred@example.org";
  frmOptions& d = Dialog();
  d.txtUserEmail.SetText("typed@example.org");  // not applied: the sender is the setting
  d.txtEmailServer.SetText(server.Name());
  d.txtToEmailAddress1.SetText("one@example.net");
  d.txtToEmailAddress2.SetText("anna@example.net");

  SendWatch watch(d.cmdTestEmail2);
  d.cmdTestEmail2.PerformClick();

  const std::vector<std::string> lines = server.Lines();
  EXPECT_TRUE(Has(lines, "mail from: fred@example.org"));
  EXPECT_TRUE(Has(lines, "rcpt to: anna@example.net"));
  EXPECT_TRUE(Has(lines, "From: \"Brennavale\" <fred@example.org>"));
  EXPECT_TRUE(Has(lines, "To: anna@example.net"));
  EXPECT_TRUE(Has(lines, "Subject: TEST Ticker Tollerwick"));
  EXPECT_TRUE(Has(lines, "TEST Ticker = 17.26 /exceeded High Limit"));
  EXPECT_EQ(lines.back(), "quit");
  EXPECT_TRUE(watch.messages.empty());

  EXPECT_EQ(watch.caption, "sending .....");
  EXPECT_EQ(watch.backColor, kRed);
  EXPECT_EQ(d.cmdTestEmail2.Caption(), "Test Email 2");
  EXPECT_EQ(d.cmdTestEmail2.BackColor(), kButtonFace);
}

TEST_F(OptionsMail, TestEmail1SendsToAddress1) {
  peers::SmtpServer server;
  frmOptions& d = Dialog();
  d.txtEmailServer.SetText(server.Name());
  d.txtToEmailAddress1.SetText("one@example.net");
  d.txtToEmailAddress2.SetText("anna@example.net");
  SendWatch watch(d.cmdTestEmail1);
  d.cmdTestEmail1.PerformClick();
  EXPECT_TRUE(Has(server.Lines(), "rcpt to: one@example.net"));
  EXPECT_TRUE(Has(server.Lines(), "To: one@example.net"));
  EXPECT_EQ(watch.caption, "sending .....");
  EXPECT_EQ(d.cmdTestEmail1.Caption(), "Test Email 1");
  EXPECT_EQ(d.cmdTestEmail1.BackColor(), kButtonFace);
}

TEST_F(OptionsMail, TestSmsGoesToTheGatewayWithThePinAsSubject) {
  peers::SmtpServer server;
  Tollerwick_Sub::txtUserEmail = "fred@example.org";
  frmOptions& d = Dialog();
  d.txtEmailServer.SetText(server.Name());
  d.txtToSMSSubject.SetText("4711");
  SendWatch watch(d.cmdTestSMS);
  d.cmdTestSMS.PerformClick();

  const std::vector<std::string> lines = server.Lines();
  EXPECT_TRUE(Has(lines, "rcpt to: +491701234567@sms-gateway.example"));  // the default gateway is usable
  EXPECT_TRUE(Has(lines, "From: \"Tollerwick\" <fred@example.org>"));
  EXPECT_TRUE(Has(lines, "To: " + VYK_GetSystemInfos::UserID));
  EXPECT_TRUE(Has(lines, "Subject: 4711"));
  EXPECT_TRUE(Has(lines, "VYK = 17.3 /HL"));
  EXPECT_EQ(watch.caption, "sending SMS  .....");
  EXPECT_EQ(watch.backColor, kRed);
  EXPECT_EQ(d.cmdTestSMS.Caption(), "Test SMS");
  EXPECT_EQ(d.cmdTestSMS.BackColor(), kButtonFace);
}

TEST_F(OptionsMail, AFailedSendStillGivesTheButtonItsLookBack) {
  peers::SmtpServer server;
  server.Answer("rcpt to", {{"550 no such user"}});
  frmOptions& d = Dialog();
  d.txtEmailServer.SetText(server.Name());
  d.txtToEmailAddress2.SetText("nobody@example.net");
  SendWatch watch(d.cmdTestEmail2);
  d.cmdTestEmail2.PerformClick();
  ASSERT_EQ(watch.messages.size(), 1u);
  EXPECT_NE(watch.messages[0].find("impromper response code"), std::string::npos) << watch.messages[0];
  EXPECT_FALSE(Has(server.Lines(), "data"));
  EXPECT_EQ(d.cmdTestEmail2.Caption(), "Test Email 2");
  EXPECT_EQ(d.cmdTestEmail2.BackColor(), kButtonFace);
}

TEST_F(OptionsMail, ADialogClosedWhileItsTestSendWaitsIsNotLoadedAgainByIt) {
  peers::SmtpServer server;
  server.Greet({{"220 slow to greet", 500}});
  frmOptions& d = Dialog();
  d.txtEmailServer.SetText(server.Name());
  d.txtToEmailAddress1.SetText("one@example.net");
  // the user presses Cancel while the send waits for the greeting
  QTimer::singleShot(100, [&] { ClickOn(d.cmdCancel.Widget()); });
  ClickOn(d.cmdTestEmail1.Widget());
  EXPECT_TRUE(Has(server.Lines(), "quit"));  // the send itself went on to its end
  EXPECT_FALSE(d.IsLoaded());
}

TEST_F(OptionsMail, ATestWithoutAUsableRecipientSendsNothing) {
  peers::SmtpServer server;
  frmOptions& d = Dialog();
  d.txtEmailServer.SetText(server.Name());
  struct Refusal {
    rt::CommandButton& button;
    rt::TextBox& recipient;
    std::vector<std::string> refused;
    const char* message;
  };
  const Refusal refusals[] = {
      {d.cmdTestEmail1, d.txtToEmailAddress1,
       {"", "   ", "@example.net", "anna.example.net", " yourname@mailprovider.example "},
       "Please type in EMail Address 1"},
      {d.cmdTestEmail2, d.txtToEmailAddress2, {"", "   ", "@example.net", "anna.example.net"},
       "Please type in EMail Address 2"},
      {d.cmdTestSMS, d.txtToSMSAddress, {"", "   ", "@sms.example", " +491701234567@sms-provider.example"},
       "Please type in the Internet to SMS Gateway"},
  };
  for (const Refusal& r : refusals) {
    const std::string caption = r.button.Caption();
    for (const std::string& recipient : r.refused) {
      r.recipient.SetText(recipient);
      r.button.PerformClick();
      ASSERT_EQ(Shown().size(), 1u) << recipient;
      EXPECT_EQ(Shown()[0].prompt, r.message) << recipient;
      EXPECT_EQ(Shown()[0].style, rt::mbCritical);
      EXPECT_EQ(Shown()[0].title, "");  // the application's title
      Shown().clear();
      EXPECT_EQ(r.button.Caption(), caption);
    }
  }
  EXPECT_EQ(server.Connections(), 0);

  // one character before the "@" is enough
  d.txtToEmailAddress2.SetText("a@example.net");
  d.cmdTestEmail2.PerformClick();
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(Has(server.Lines(), "rcpt to: a@example.net"));
}

class OptionsLinks : public OptionsSandbox {
 protected:
  void SetUp() override {
    OptionsSandbox::SetUp();
    Dialog().Load();  // the labels' handlers come with the loaded dialog
    rt::testing::Launches().clear();
  }
  // The one address opened since the last look.
  static std::string Opened() {
    const auto opened = TakeOpened();
    EXPECT_EQ(opened.size(), 1u);
    return opened.empty() ? std::string() : opened.back();
  }
};

TEST_F(OptionsLinks, EachLinkOpensItsPage) {
  frmOptions& d = Dialog();
  d.cmdProducts.PerformClick();
  EXPECT_EQ(Opened(), "http://www.vyk.example/vyk/products/suite_e.htm");
  d.Label2.Click();
  EXPECT_EQ(Opened(), "http://www.vyk.example/vyk");
  d.Label13.Click();
  EXPECT_EQ(Opened(), "http://finance.provider1.example/q?d=e");
  d.lblFreeRealTime.Click();
  EXPECT_EQ(Opened(), "http://quotes.provider2.example");
  d.Label20.Click();
  EXPECT_EQ(Opened(), "http://sms-list.example/sms/service/weltweit.htm");
  EXPECT_EQ(ErrorLog().find("of Formular frmOptions"), std::string::npos) << ErrorLog();
}

TEST_F(OptionsLinks, TheSitesAreConfiguration) {
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\MakerHome", "127.0.0.1:8080");
  Dialog().Label2.Click();
  EXPECT_EQ(Opened(), "http://127.0.0.1:8080/vyk");
}

TEST_F(OptionsLinks, TheRequestMailIsPreparedForTheMaker) {
  Dialog().lblEmail.Click();
  const std::string address = Opened();
  // every value stays inside the address: nothing in it a mail program would read as its end
  EXPECT_EQ(address.find_first_of(" \r\n\""), std::string::npos) << address;
  const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
  ASSERT_TRUE(url.isValid()) << address;
  EXPECT_EQ(url.scheme(), "mailto");
  EXPECT_EQ(url.path(), "dataprovider@vyk.example");
  const QList<std::pair<QString, QString>> fields = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
  const QList<std::pair<QString, QString>> expected = {
      {"Subject", "Tollerwick - request for new Data Provider"},
      {"cc", " "},
      {"bcc", " "},
      {"Body", "Please add the following Data Provider to Tollerwick:\r\n\r\n"},
  };
  EXPECT_EQ(fields, expected) << address;
  EXPECT_EQ(Dialog().lblEmail.Caption(), "dataprovider@vyk.example");
  EXPECT_EQ(Dialog().lblEmail.ToolTipText(), "eMail to VYK");
}

TEST_F(OptionsLinks, ARequestMailNoProgramTakesIsLoggedOnceAndLightsTheLamp) {
  rt::testing::MessageBoxes().shown.clear();
  rt::testing::RecordLaunches(false);  // no program is associated with mailto:
  Dialog().lblEmail.Click();
  EXPECT_EQ(Opened().rfind("mailto:", 0), 0u);
  const auto lines = Lines(ErrorLog());
  const auto logged = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find("lblEmail_Click of Formular frmOptions") != std::string::npos;
  });
  EXPECT_EQ(logged, 1) << ErrorLog();
  EXPECT_EQ(Tollerwick_Main::MainForm->ErrorIndicator.BackColor(), 0x8080FF);
  EXPECT_TRUE(rt::testing::MessageBoxes().shown.empty());
  EXPECT_TRUE(Dialog().IsLoaded());

  // the web links leave a refusal alone
  Dialog().Label2.Click();
  EXPECT_EQ(Opened(), "http://www.vyk.example/vyk");
  EXPECT_EQ(Lines(ErrorLog()).size(), lines.size());
}
