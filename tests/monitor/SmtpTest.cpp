#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "monitor/SmtpReplies.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmMessage.h"
#include "platform/controls/Form.h"
#include "platform/controls/Winsock.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Regional.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/HttpPeer.h"
#include "tests/peers/SmtpPeer.h"

using Tollerwick_Main::MainForm;

namespace {

// Plays the user in front of the message window: whenever it is up, notes what it says and presses "ok".
class MessageWatch {
 public:
  struct Seen {
    std::string caption;
    std::string text;
    bool modal;
    // seconds of the program's clock since the send began
    double sinceSend;
  };

  explicit MessageWatch(double sendStart) : sendStart_(sendStart) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start(20);
  }

  std::vector<Seen> seen;

 private:
  void Look() {
    frmMessage& box = rt::Default<frmMessage>();
    if (!box.IsLoaded() || !box.Visible()) return;
    seen.push_back({box.Caption(), box.lblMessage.Caption(), box.Window()->isModal(), rt::SecondsClock() - sendStart_});
    box.Command1.PerformClick();
  }

  double sendStart_;
  QTimer timer_;
};

rt::DateTime At(int year, int month, int day, int hour, int minute, int second) {
  return rt::DateTime{rt::DateSerial(year, month, day).serial + rt::TimeSerial(hour, minute, second).serial};
}

std::string Last(const std::vector<std::string>& lines) {
  return lines.empty() ? std::string() : lines.back();
}

const char* const kTimedOut = "SMTP service error, timed out while waiting for response";

// Lets events run until `done`, for at most ten seconds of real time.
bool PumpUntil(const std::function<bool()>& done) {
  QDeadlineTimer deadline(10000);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    rt::DoEventsWaiting(5);
  }
  return true;
}

}  // namespace

class SmtpClient : public MonitorSandbox {
 protected:
  // The main window lives as long as the process: each test starts with its mail sender idle.
  void SetUp() override {
    MonitorSandbox::SetUp();
    ASSERT_TRUE(RunMain());
    MainForm->SmtpResponse.clear();
    MainForm->SmtpProgress = 0;
  }
  void TearDown() override {
    if (MainForm) MainForm->Winsock1.Close();
    MonitorSandbox::TearDown();
  }

  // One send as the alarm evaluation makes it, the message window answered as it comes up.
  void Send(const std::string& server, const std::string& toName = "Fred Miller",
            const std::string& subject = "MSFT = 250.10 / exceeded High Limit",
            const std::string& body = "Last 250.10\r\nHigh limit 250") {
    MessageWatch watch(rt::SecondsClock());
    MainForm->SendEmail(server, "Fred", "fred@example.org", toName, "fred.miller@example.net", subject, body);
    messages = watch.seen;
  }

  // The lines of a whole dialogue, with the header fields and body lines given.
  static std::vector<std::string> Dialogue(const std::string& date, const std::string& to, const std::string& subject,
                                           const std::vector<std::string>& body) {
    std::vector<std::string> lines = {"HELO tollerwick.localdomain",
                                      "mail from: fred@example.org",
                                      "rcpt to: fred.miller@example.net",
                                      "data",
                                      "From: \"Fred\" <fred@example.org>",
                                      "Date: " + date,
                                      "X-Mailer: ZOZA Raroru",
                                      "To: " + to,
                                      "Subject: " + subject,
                                      ""};
    lines.insert(lines.end(), body.begin(), body.end());
    lines.insert(lines.end(), {"", ".", "quit"});
    return lines;
  }

  std::vector<MessageWatch::Seen> messages;
};

TEST_F(SmtpClient, AWholeDialogueSendsTheMessageAndClosesTheConnection) {
  peers::SmtpServer server;
  rt::testing::SetNow(At(2026, 12, 6, 10, 15, 0));
  Send(server.Name());

  EXPECT_EQ(server.Lines(), Dialogue("Sun, 06 Dec 2026 10:15:00 -0600", "Fred Miller",
                                     "MSFT = 250.10 / exceeded High Limit", {"Last 250.10", "High limit 250"}));
  EXPECT_EQ(server.Connections(), 1);
  EXPECT_EQ(MainForm->SmtpProgress, 100);
  EXPECT_EQ(MainForm->Winsock1.State(), rt::sckClosed);
  EXPECT_EQ(MainForm->SmtpResponse, "");
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(ErrorLog().find(" of Formular "), std::string::npos);
}

TEST_F(SmtpClient, TheDateFollowsTheRegionalNamesAndKeepsItsZone) {
  peers::SmtpServer server;
  rt::testing::SetLocale("de_DE");
  rt::testing::SetNow(At(2026, 12, 6, 22, 15, 0));
  Send(server.Name());
  rt::testing::SetLocale("en_US");

  const std::vector<std::string> lines = server.Lines();
  const auto date =
      std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Date: ", 0) == 0; });
  ASSERT_NE(date, lines.end());
  // German day and month names, the day as two digits, a 24-hour clock and the fixed zone
  EXPECT_NE(date->find("Dez"), std::string::npos) << *date;
  EXPECT_EQ(date->find("Sun"), std::string::npos) << *date;
  EXPECT_NE(date->find(", 06 "), std::string::npos) << *date;
  EXPECT_NE(date->find(" 2026 22:15:00 -0600"), std::string::npos) << *date;
  EXPECT_EQ(MainForm->SmtpProgress, 100);
}

TEST_F(SmtpClient, OnlyTheFirstThreeCharactersOfAReplyCount) {
  peers::SmtpServer server;
  server.Greet({{"220-peer.localdomain welcomes you\r\n220 ready"}});
  server.Answer("helo", {{"250-peer.localdomain\r\n250-SIZE 1000000\r\n250 HELP"}});
  // a reply with another code does not end the wait: the right one may still follow
  server.Answer("rcpt to", {{"451 try again in a moment"}, {"250 recipient ok", 400}});
  Send(server.Name());

  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(MainForm->SmtpProgress, 100);
  EXPECT_TRUE(Has(server.Lines(), "data"));
  EXPECT_EQ(Last(server.Lines()), "quit");
}

TEST_F(SmtpClient, AReplyCountsOnlyOnceItsLastLineHasCome) {
  // every reply in as many pieces as it has bytes: "2", "2", "0", " ", ...; the slower clock keeps the
  // fifty seconds of each wait well beyond the time its bytes take
  rt::testing::SetRate(5);
  peers::SmtpServer split;
  split.SplitReplies(15);
  split.Greet({{"220-peer.localdomain"}, {"220 ready"}});
  rt::testing::SetNow(At(2026, 12, 6, 10, 15, 0));
  Send(split.Name());

  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(MainForm->SmtpProgress, 100);
  EXPECT_EQ(split.Lines(), Dialogue("Sun, 06 Dec 2026 10:15:00 -0600", "Fred Miller",
                                    "MSFT = 250.10 / exceeded High Limit", {"Last 250.10", "High limit 250"}));
  EXPECT_EQ(split.RepliesInterrupted(), 0);

  // replies of several lines whose lines come apart: the next command waits for the last line
  peers::SmtpServer slow;
  slow.Greet({{"220-peer.localdomain welcomes you"}, {"220-no relaying here", 300}, {"220 ready", 300}});
  slow.Answer("helo", {{"250-peer.localdomain"}, {"250 HELP", 300}});
  slow.Answer("data", {{"354-go ahead"}, {"354 end with <CR><LF>.<CR><LF>", 300}});
  Send(slow.Name());

  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(MainForm->SmtpProgress, 100);
  EXPECT_EQ(slow.RepliesInterrupted(), 0);
  EXPECT_EQ(Last(slow.Lines()), "quit");
  EXPECT_EQ(slow.Lines().front(), "HELO tollerwick.localdomain");
}

TEST_F(SmtpClient, OneWaitEndsFiftySecondsAfterItsStartWhateverCameInBetween) {
  peers::SmtpServer server;
  // a reply with another code after forty seconds leaves ten for the right one, not fifty more
  server.Answer("rcpt to", {{"451 4.7.1 try again later", 2000}});
  Send(server.Name());

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text,
            "SMTP service error, impromper response code. Code should have been: 250 Code recieved: "
            "451 4.7.1 try again later\r\n");
  EXPECT_GT(messages[0].sinceSend, 50);
  EXPECT_LT(messages[0].sinceSend, 80);
  EXPECT_EQ(MainForm->SmtpProgress, 0);
  EXPECT_FALSE(Has(server.Lines(), "data"));
}

TEST_F(SmtpClient, ARefusedRecipientIsToldAfterFiftySecondsAndNothingMoreIsSent) {
  peers::SmtpServer server;
  server.Answer("rcpt to", {{"550 5.1.1 no such user here"}});
  Send(server.Name());

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, "eMail - Error");
  EXPECT_EQ(messages[0].text,
            "SMTP service error, impromper response code. Code should have been: 250 Code recieved: "
            "550 5.1.1 no such user here\r\n");
  EXPECT_TRUE(messages[0].modal);
  // the other replies came at once, so nearly all of that time is the wait for the recipient
  EXPECT_GT(messages[0].sinceSend, 50);
  EXPECT_LT(messages[0].sinceSend, 65);
  EXPECT_GT(MainForm->SmtpWaitElapsed, 50);
  EXPECT_EQ(MainForm->SmtpProgress, 0);
  EXPECT_EQ(Last(server.Lines()), "rcpt to: fred.miller@example.net");
  EXPECT_FALSE(Has(server.Lines(), "data"));
  EXPECT_FALSE(Has(server.Lines(), "quit"));
  // the connection ends with the dialogue, the refusal kept
  EXPECT_EQ(MainForm->Winsock1.State(), rt::sckClosed);
  EXPECT_TRUE(PumpUntil([&] { return !server.Connected(); }));
  EXPECT_EQ(MainForm->SmtpResponse, "550 5.1.1 no such user here\r\n");
  EXPECT_FALSE(rt::Default<frmMessage>().IsLoaded());

  // the next send starts on a connection of its own and waits for its own greeting
  peers::SmtpServer next;
  Send(next.Name());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(MainForm->SmtpProgress, 100);
  EXPECT_EQ(Last(next.Lines()), "quit");
}

TEST_F(SmtpClient, ARefusalOfAnyLengthIsShownCutAsANewsItemIs) {
  peers::SmtpServer server;
  // sixty thousand characters of refusal, in lines as long as the client takes
  std::string refusal;
  for (int i = 0; i < 15; ++i) refusal += "550-" + std::string(3990, static_cast<char>('a' + i)) + "\r\n";
  refusal += "550 5.1.1 no such user here";
  server.Answer("rcpt to", {{refusal}});
  Send(server.Name());

  ASSERT_EQ(messages.size(), 1u);
  const std::string prefix = "SMTP service error, impromper response code. Code should have been: 250 Code recieved: ";
  EXPECT_EQ(messages[0].text, prefix + refusal.substr(0, 2000) + " ...");
  EXPECT_EQ(MainForm->SmtpProgress, 0);
  // the whole reply is kept: only what the window shows is cut
  EXPECT_TRUE(MainForm->SmtpResponse == refusal + "\r\n");
}

TEST_F(SmtpClient, AReplyTooLongForAnyMailServerEndsTheSendAndItsConnection) {
  // a line longer than the 512 octets mail servers keep to still counts
  peers::SmtpServer generous;
  generous.Answer("helo", {{"250-" + std::string(1500, 'h') + "\r\n250 HELP"}});
  Send(generous.Name());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(MainForm->SmtpProgress, 100);

  // a refusal, then text without a line end every 20 ms: the wait ends at once, the connection with it
  const char* const kTooLong = "SMTP service error, the response was too long; the connection was closed";
  peers::SmtpServer flood;
  peers::SmtpServer::Reply refusal = {{"550 5.1.1 no such user here"}};
  for (int i = 0; i < 150; ++i) refusal.push_back({std::string(65536, 'x'), 20, false});
  flood.Answer("rcpt to", refusal);
  Send(flood.Name());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, "eMail - Error");
  EXPECT_EQ(messages[0].text, kTooLong);
  EXPECT_TRUE(messages[0].modal);
  EXPECT_EQ(MainForm->SmtpProgress, 0);
  EXPECT_EQ(MainForm->Winsock1.State(), rt::sckClosed);
  EXPECT_EQ(MainForm->SmtpReceived.Held(), 0u);
  EXPECT_FALSE(Has(flood.Lines(), "data"));

  // a greeting of line after line that never ends
  peers::SmtpServer endless;
  peers::SmtpServer::Reply greeting;
  for (int i = 0; i < 100; ++i) greeting.push_back({"220-" + std::string(1000, 'g')});
  endless.Greet(greeting);
  Send(endless.Name());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, kTooLong);
  EXPECT_EQ(MainForm->Winsock1.State(), rt::sckClosed);
  EXPECT_TRUE(endless.Lines().empty());

  // the next send is not held by it
  peers::SmtpServer next;
  Send(next.Name());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(MainForm->SmtpProgress, 100);
}

TEST_F(SmtpClient, AServerThatFloodsRepliesIsNoMailServer) {
  // "250 OK" without end from the greeting on: the first few are taken, then the connection ends
  peers::SmtpServer flood;
  std::string replies = "220 flood";
  for (int i = 0; i < 200000; ++i) replies += "\r\n250 OK";
  flood.Greet({{replies}});
  Send(flood.Name());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "SMTP service error, the response was too long; the connection was closed");
  EXPECT_LT(messages[0].sinceSend, 50);
  EXPECT_EQ(MainForm->SmtpProgress, 0);
  EXPECT_EQ(MainForm->Winsock1.State(), rt::sckClosed);
  EXPECT_TRUE(PumpUntil([&] { return !flood.Connected(); }));
  EXPECT_LE(flood.Lines().size(), 1u);  // the HELO, if the greeting came first, and nothing after it
  EXPECT_FALSE(Has(flood.Lines(), "mail from: fred@example.org"));

  // a server with a few replies too many is still a mail server
  peers::SmtpServer chatty;
  chatty.Answer("helo", {{"250 hello\r\n250 again\r\n250 and again"}});
  Send(chatty.Name());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(MainForm->SmtpProgress, 100);
}

TEST_F(SmtpClient, NoServerAtAllEndsWithTheTimeOut) {
  Send("127.0.0.1:" + std::to_string(peers::UnusedPort()));

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, "eMail - Error");
  EXPECT_EQ(messages[0].text, kTimedOut);
  EXPECT_TRUE(messages[0].modal);
  EXPECT_GT(messages[0].sinceSend, 50);
  EXPECT_LT(messages[0].sinceSend, 65);
  EXPECT_EQ(MainForm->SmtpProgress, 0);
}

TEST_F(SmtpClient, ASilentServerTimesOutFiftySecondsLaterAlsoOverMidnight) {
  peers::SmtpServer server;
  server.Answer("mail from", {});
  rt::testing::SetNow(At(2026, 12, 7, 23, 59, 40));
  Send(server.Name());

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, kTimedOut);
  EXPECT_GT(messages[0].sinceSend, 50);
  EXPECT_LT(messages[0].sinceSend, 65);
  EXPECT_EQ(rt::Day(rt::Now()), 8);
  EXPECT_EQ(Last(server.Lines()), "mail from: fred@example.org");
  EXPECT_EQ(MainForm->SmtpProgress, 0);
}

// A second send asked for while the first waits for the server (a test send clicked during an alarm's
// mail): the first is not cut off, and the second goes out after it.
TEST_F(SmtpClient, ASendAskedForDuringAnotherGoesOutAfterIt) {
  peers::SmtpServer server;
  rt::testing::SetNow(At(2026, 12, 6, 10, 15, 0));
  QTimer click;
  bool asked = false;
  QObject::connect(&click, &QTimer::timeout, [&] {
    if (asked || server.Lines().empty()) return;
    asked = true;
    MainForm->SendEmail(server.Name(), "Fred", "fred@example.org", "Test", "fred.miller@example.net", "Test",
                        "test");
  });
  click.start(1);
  Send(server.Name());
  click.stop();
  ASSERT_TRUE(asked);
  auto expected = Dialogue("Sun, 06 Dec 2026 10:15:00 -0600", "Fred Miller", "MSFT = 250.10 / exceeded High Limit",
                           {"Last 250.10", "High limit 250"});
  const size_t firstLines = expected.size();
  auto lines = server.Lines();
  // the clock goes on while the first mail is sent: the second one's date may be a second later
  const size_t secondDate = firstLines + 5;
  ASSERT_GT(lines.size(), secondDate);
  EXPECT_EQ(lines[secondDate].rfind("Date: Sun, 06 Dec 2026 10:15:", 0), 0u) << lines[secondDate];
  const auto second = Dialogue(lines[secondDate].substr(6), "Test", "Test", {"test"});
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(server.Connections(), 2);
  EXPECT_TRUE(messages.empty()) << messages.front().text;
  EXPECT_EQ(MainForm->SmtpProgress, 100);
  EXPECT_EQ(ErrorLog().find(" of Formular "), std::string::npos);
}

TEST_F(SmtpClient, TheToHeaderCarriesOnlyTheName) {
  peers::SmtpServer server;
  Send(server.Name(), "");
  const std::vector<std::string> lines = server.Lines();
  EXPECT_TRUE(Has(lines, "To: "));
  EXPECT_TRUE(Has(lines, "rcpt to: fred.miller@example.net"));
  EXPECT_FALSE(Has(lines, "To: fred.miller@example.net"));
  EXPECT_EQ(MainForm->SmtpProgress, 100);
}

TEST_F(SmtpClient, EveryBodyLineArrivesWhole) {
  peers::SmtpServer server;
  rt::testing::SetNow(At(2026, 12, 6, 10, 15, 0));
  // a line of only "." would otherwise end the message there; a bare LF or a bare CR ends a line as
  // CR LF does
  Send(server.Name(), "Fred Miller", "news", ".\r\nafter the dot\r\n..two\nunix line\n.\r.old mac\rlast");

  EXPECT_EQ(server.Lines(), Dialogue("Sun, 06 Dec 2026 10:15:00 -0600", "Fred Miller", "news",
                                     {"..", "after the dot", "...two", "unix line", "..", "..old mac", "last"}));
  EXPECT_EQ(MainForm->SmtpProgress, 100);
}

TEST_F(SmtpClient, TheCallersTextsAddNoHeaderLinesOrCommands) {
  peers::SmtpServer server;
  rt::testing::SetNow(At(2026, 12, 6, 10, 15, 0));
  MessageWatch watch(rt::SecondsClock());
  MainForm->SendEmail(server.Name(), "Fred\r\nBcc: all@example.com", "fred@example.org\r\nrset",
                      "Fred Miller\nReply-To: x@example.com", "fred.miller@example.net\r\nrcpt to: y@example.com",
                      "MSFT\r\nBcc: all@example.com", "body");

  const std::vector<std::string> lines = server.Lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("rcpt to", 0) == 0; }),
            1);
  EXPECT_TRUE(Has(lines, "rcpt to: fred.miller@example.netrcpt to: y@example.com"));
  EXPECT_TRUE(Has(lines, "mail from: fred@example.orgrset"));
  EXPECT_FALSE(Has(lines, "rset"));
  EXPECT_TRUE(Has(lines, "Subject: MSFTBcc: all@example.com"));
  EXPECT_TRUE(Has(lines, "To: Fred MillerReply-To: x@example.com"));
  EXPECT_TRUE(Has(lines, "From: \"FredBcc: all@example.com\" <fred@example.orgrset>"));
  EXPECT_FALSE(Has(lines, "Bcc: all@example.com"));
  EXPECT_FALSE(Has(lines, "Reply-To: x@example.com"));
  EXPECT_TRUE(watch.seen.empty());
}

// The one message window of the program, as the alarm evaluation and the mail sender use it.
class SmtpMessageWindow : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    ASSERT_TRUE(RunMain());
  }
};

TEST_F(SmtpMessageWindow, ComesUpInTheMiddleOfTheScreenAtEveryLoad) {
  frmMessage& box = rt::Default<frmMessage>();
  box.SetCaption("MSFT Alarm");
  EXPECT_TRUE(box.IsLoaded());
  EXPECT_FALSE(box.Visible());
  EXPECT_NEAR(box.Left(), (rt::ScreenWidth() - box.Width()) / 2, 30);
  EXPECT_NEAR(box.Top(), (rt::ScreenHeight() - box.Height()) / 2, 30);
  EXPECT_EQ(box.lblMessage.Caption(), "Data Base will be compacted");
  EXPECT_EQ(box.Command1.Caption(), "ok");
  EXPECT_EQ(box.lblMessage.BackColor(), 0x004000);
  EXPECT_EQ(box.lblMessage.FontName(), "Arial");
  EXPECT_TRUE(box.lblMessage.FontBold());

  // while loaded it keeps its place; a later text replaces the one on screen
  box.lblMessage.SetCaption("MSFT is over High Limit !");
  box.Show(0, MainForm);
  box.Move(0, 0);
  box.lblMessage.SetCaption("IBM is below Low Limit !");
  box.Show(0, MainForm);
  EXPECT_EQ(box.Left(), 0);
  EXPECT_EQ(box.lblMessage.Caption(), "IBM is below Low Limit !");

  // "ok" unloads it; the next use starts from the design, centred again
  box.Command1.PerformClick();
  EXPECT_FALSE(box.IsLoaded());
  EXPECT_EQ(box.Caption(), "... Please wait");
  EXPECT_EQ(box.lblMessage.Caption(), "Data Base will be compacted");
  EXPECT_NEAR(box.Left(), (rt::ScreenWidth() - box.Width()) / 2, 30);
}

TEST_F(SmtpMessageWindow, AModalShowReturnsWhenOkIsPressed) {
  frmMessage& box = rt::Default<frmMessage>();
  box.lblMessage.SetCaption("MSFT is over High Limit !");
  // the same window shown modeless first, then modal: it stays one window and blocks until "ok"
  box.Show(0, MainForm);
  bool pressed = false;
  QObject scope;
  QTimer::singleShot(100, &scope, [&] {
    if (box.IsLoaded() && box.Visible() && box.Window()->isModal()) {
      pressed = true;
      box.Command1.PerformClick();
    }
  });
  QTimer::singleShot(5000, &scope, [&] { box.Unload(); });
  box.Show(1, MainForm);
  EXPECT_TRUE(pressed);
  EXPECT_FALSE(box.IsLoaded());
}

namespace {

// The size in pixels that a text takes in a control's font, broken into lines at blanks to fit `width`.
QSize TextSize(rt::Control& c, const std::string& text, int width) {
  QFont font(QString::fromStdString(c.FontName()));
  font.setPointSizeF(c.FontSize());
  font.setBold(c.FontBold());
  return QFontMetrics(font)
      .boundingRect(QRect(0, 0, width, 100000), Qt::AlignLeft | Qt::TextWordWrap, QString::fromStdString(text))
      .size();
}

// The window as designed: the label's box, "ok" over its lower part, the window just around them. A caption
// too long for the designed width shows whole: the window is as wide as its title bar needs, the label as
// wide, "ok" in the middle.
void ExpectDesign(frmMessage& box) {
  const double width = std::max(2745.0, box.CaptionWidth());
  EXPECT_EQ(box.lblMessage.Left(), 120);
  EXPECT_EQ(box.lblMessage.Top(), 120);
  EXPECT_EQ(box.lblMessage.Height(), 855);
  EXPECT_EQ(box.Command1.Top(), 720);
  EXPECT_NEAR(box.ScaleWidth(), width, 15);
  EXPECT_NEAR(box.ScaleHeight(), 1050, 15);
  if (width == 2745) {
    EXPECT_EQ(box.lblMessage.Width(), 2535);
    EXPECT_EQ(box.Command1.Left(), 960);
  } else {
    EXPECT_NEAR(box.lblMessage.Width(), width - 240, 15);
    EXPECT_NEAR(box.Command1.Left() + box.Command1.Width() / 2, width / 2, 15);
  }
}

// The whole text can be read: it fits the label's box, nothing covers it, and the window shows all of it
// on the screen, in the window's colours and font.
void ExpectReadable(frmMessage& box) {
  rt::Label& label = box.lblMessage;
  const QSize text = TextSize(label, label.Caption(), rt::ToPixelsX(label.Width()));
  EXPECT_LE(text.width(), rt::ToPixelsX(label.Width()));
  EXPECT_LE(text.height(), rt::ToPixelsY(label.Height()));
  // "ok" may stand over the label's box, but below its text
  EXPECT_GE(box.Command1.Top(), label.Top() + text.height() * rt::TwipsPerPixelY());
  EXPECT_LE(label.Left() + label.Width(), box.ScaleWidth());
  EXPECT_LE(box.Command1.Left() + box.Command1.Width(), box.ScaleWidth());
  EXPECT_LE(box.Command1.Top() + box.Command1.Height(), box.ScaleHeight() + 15);
  EXPECT_GE(box.Left(), 0);
  EXPECT_GE(box.Top(), 0);
  EXPECT_LE(box.Left() + box.Width(), rt::ScreenWidth() + 15);
  EXPECT_LE(box.Top() + box.Height(), rt::ScreenHeight() + 15);
  EXPECT_EQ(label.FontName(), "Arial");
  EXPECT_EQ(label.FontSize(), 9);
  EXPECT_TRUE(label.FontBold());
  EXPECT_EQ(label.BackColor(), 0x004000);
}

}  // namespace

TEST_F(SmtpMessageWindow, ALongTextIsShownWholeAndAShortOneKeepsTheDesign) {
  frmMessage& box = rt::Default<frmMessage>();
  box.SetCaption("MSFT Alarm");
  box.lblMessage.SetCaption("MSFT is over High Limit !");
  box.Show(0, MainForm);
  ExpectDesign(box);
  ExpectReadable(box);

  // a refusal as mail servers word it, with an address longer than the label is wide
  box.SetCaption("eMail - Error");
  box.lblMessage.SetCaption(
      "SMTP service error, impromper response code. Code should have been: 250 Code recieved: "
      "550-5.1.1 <fred.miller.long-address@mail.example-provider.example.net>: Recipient address rejected: "
      "User unknown in virtual mailbox table\r\n550 5.1.1 Please check the address and try again\r\n");
  ExpectReadable(box);
  EXPECT_GT(box.ScaleHeight(), 1050);
  // it grew about its centre, which was the screen's
  EXPECT_NEAR(box.Left() + box.Width() / 2, rt::ScreenWidth() / 2, 60);
  EXPECT_NEAR(box.Top() + box.Height() / 2, rt::ScreenHeight() / 2, 60);

  // every wait's time-out fits as well, and the next short text brings the design back
  box.lblMessage.SetCaption("SMTP service error, timed out while waiting for response");
  ExpectReadable(box);
  box.lblMessage.SetCaption("IBM is below Low Limit !");
  ExpectDesign(box);
  // a caption set on its own, longer than any alarm's, widens the window for itself
  box.SetCaption("eMail - Error: the mail server did not answer");
  EXPECT_GT(box.ScaleWidth(), 2745 + 15);
  ExpectDesign(box);

  // a very long one, with a very long word, again; then "ok": the next load starts from the design
  std::string words;
  for (int i = 0; i < 150; ++i) words += " mailbox";
  box.lblMessage.SetCaption("550 " + std::string(70, 'y') + "@example.net" + words);
  ExpectReadable(box);
  box.Command1.PerformClick();
  box.SetCaption("MSFT Alarm");
  ExpectDesign(box);
}

// The reply collector against random replies: one to four lines each, CR LF or a bare LF, codes and texts
// of any length within the limits, cut into pieces at every byte or at random places; now and then a
// line or a reply that never ends. Every complete reply comes out whole and in order, nothing is held
// beyond the limits, and an endless one is refused once past them.
TEST(SmtpReplyCollector, RandomRepliesInPiecesOfAnySize) {
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  const auto number = [&](size_t from, size_t to) { return std::uniform_int_distribution<size_t>(from, to)(random); };
  const auto text = [&](size_t length) {
    std::string t;
    for (size_t i = 0; i < length; ++i) t += static_cast<char>(number(0x20, 0x7E));
    return t;
  };
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> replies;
    std::string stream;
    for (size_t r = number(1, 6); r > 0; --r) {
      std::string reply;
      const std::string code = std::to_string(number(200, 599));
      for (size_t lines = number(1, 4); lines > 0; --lines) {
        std::string line = code + (lines > 1 ? "-" : number(0, 3) == 0 ? "" : " ");
        if (lines > 1 || !line.ends_with(code)) line += text(number(0, number(0, 9) == 0 ? 3000 : 60));
        line += number(0, 4) == 0 ? "\n" : "\r\n";
        reply += line;
      }
      replies.push_back(reply);
      stream += reply;
    }
    // now and then an endless line, or an endless reply of continuation lines, after the good ones
    const int endless = static_cast<int>(number(0, 3)) % 3;
    if (endless == 1) stream += "550 " + text(SmtpReplies::kLineBytes + number(0, 100));
    for (const size_t start = stream.size(); endless == 2 && stream.size() - start < 2 * SmtpReplies::kReplyBytes;)
      stream += "250-" + text(number(0, 200)) + "\r\n";

    SmtpReplies collector;
    std::vector<std::string> complete;
    bool refused = false;
    const bool byteByByte = number(0, 1) == 0;
    for (size_t at = 0; at < stream.size() && !refused;) {
      const size_t piece = byteByByte ? 1 : std::min(stream.size() - at, number(1, 9000));
      refused = !collector.Add(stream.substr(at, piece), [&](std::string&& r) { complete.push_back(std::move(r)); });
      at += piece;
      ASSERT_LE(collector.Held(), SmtpReplies::kReplyBytes) << "seed " << seed << " round " << round;
    }
    ASSERT_EQ(complete, replies) << "seed " << seed << " round " << round;
    EXPECT_EQ(refused, endless != 0) << "seed " << seed << " round " << round;
    if (refused) {
      EXPECT_EQ(collector.Held(), 0u);
    }
  }
}
