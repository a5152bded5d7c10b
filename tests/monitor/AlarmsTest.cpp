#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmMessage.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/win32/Multimedia.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/SmtpPeer.h"
#include "windows/frmOptions.h"

using Tollerwick_Main::MainForm;
namespace settings = Tollerwick_Sub;

namespace {

constexpr long kRed = 0x0000FF;
constexpr long kDarkGreen = 0x008000;
// the two rows of the ticker file, and their scroll entries
constexpr int kRise = 2;
constexpr int kFall = 3;

rt::DateTime At(int month, int day, int hour, int minute) {
  return rt::DateTime{rt::DateSerial(2026, month, day).serial + rt::TimeSerial(hour, minute, 0).serial};
}

bool StartsWith(const std::string& s, const std::string& start) {
  return s.rfind(start, 0) == 0;
}

// One message as the mail server received it.
struct Mail {
  std::string rcpt, from, to, subject;
  std::vector<std::string> body;
  bool complete = false;
};

std::vector<Mail> Mails(const std::vector<std::string>& lines) {
  std::vector<Mail> mails;
  enum { kCommands, kHeader, kBody } part = kCommands;
  for (const std::string& line : lines) {
    if (StartsWith(line, "HELO ")) {
      mails.emplace_back();
      part = kCommands;
      continue;
    }
    if (mails.empty()) continue;
    Mail& m = mails.back();
    if (part == kBody) {
      if (line != ".") {
        m.body.push_back(line);
        continue;
      }
      m.body.pop_back();  // the blank line the sender puts after every body
      part = kCommands;
    } else if (part == kHeader) {
      if (line.empty()) part = kBody;
      if (StartsWith(line, "From: ")) m.from = line.substr(6);
      if (StartsWith(line, "To: ")) m.to = line.substr(4);
      if (StartsWith(line, "Subject: ")) m.subject = line.substr(9);
    } else if (StartsWith(line, "rcpt to: ")) {
      m.rcpt = line.substr(9);
    } else if (line == "data") {
      part = kHeader;
    } else if (line == "quit") {
      m.complete = true;
    }
  }
  return mails;
}

// Answers the mail sender's blocking error messages, as the user at the desk would, and notes them.
class ErrorWatch {
 public:
  ErrorWatch() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start(10);
  }
  std::vector<std::string> seen;

 private:
  void Look() {
    frmMessage& box = rt::Default<frmMessage>();
    if (!box.IsLoaded() || !box.Visible() || !box.Window()->isModal()) return;
    seen.push_back(box.lblMessage.Caption());
    box.Command1.PerformClick();
  }
  QTimer timer_;
};

}  // namespace

class Alarms : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    WriteFile(home + "/download/TickerSettings.vyk",
              "\"RISE\",\"250\",\"200\",\"1\",\"00:00:00\"\r\n"
              "\"FALL\",\"250\",\"200\",\"2\",\"00:00:00\"\r\n");
    ASSERT_TRUE(RunMain());
    ASSERT_EQ(Grid().Rows(), 4);
    settings::txtAlarmWait = "12";
    settings::txtUserEmail = "fred@example.org";
    settings::txtUserName = "Fred Miller";
    settings::txtToSMSAddress = "+4917099887766@sms-gateway.example";
    settings::txtToSMSSubject = "4711";
    settings::NewsTable.fill("");
    settings::NewsTable[3] = "VYK News -- 12/7/2026\r\nMarkets open calm";
    settings::NewsIndex = 3;
    MainForm->chkAlarmSnd.SetValue(1);
    errors = std::make_unique<ErrorWatch>();
  }
  void TearDown() override {
    errors.reset();
    if (rt::Default<frmOptions>().IsLoaded()) rt::Default<frmOptions>().Unload();
    if (MainForm) MainForm->Winsock1.Close();
    MonitorSandbox::TearDown();
  }

  static rt::FlexGrid& Grid() { return MainForm->FG3; }
  static frmOptions& Dialog() { return rt::Default<frmOptions>(); }

  // A quote arrives for a row, as a provider writes it, and the row is evaluated.
  static void Quote(int row, const std::string& last, const std::string& change) {
    Grid().SetTextMatrix(row, 3, last);
    Grid().SetTextMatrix(row, 4, change);
    Grid().SetRow(row);
    Grid().SetCol(4);
    std::string ticker = Grid().TextMatrix(row, 2);
    MainForm->CheckAndSendAlarms(row, ticker);
  }
  static void Limits(int row, const std::string& high, const std::string& low) {
    Grid().SetTextMatrix(row, 11, high);
    Grid().SetTextMatrix(row, 12, low);
  }
  static void Stamp(int row, const std::string& text) { Grid().SetTextMatrix(row, 14, text); }
  static std::string Stamp(int row) { return Grid().TextMatrix(row, 14); }

  // The file name of the row's status picture; the row's scroll entry must show the same file.
  static std::string Picture(int row) {
    Grid().SetRow(row);
    Grid().SetCol(0);
    const std::string path = Grid().CellPicture();
    EXPECT_EQ(settings::TickerImages[row - 1]->PicturePath(), path);
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    return path.substr(path.find_last_of('/') + 1);
  }
  static long ChangeColor(int row) {
    Grid().SetRow(row);
    Grid().SetCol(4);
    const long color = Grid().CellForeColor();
    EXPECT_EQ(settings::TickerLabels[row - 1]->ForeColor(), color);
    EXPECT_EQ(settings::ValueLabels[row - 1]->ForeColor(), color);
    return color;
  }

  // The message window as it stands: "" when it is not on screen, else caption and text.
  static std::string Message() {
    frmMessage& box = rt::Default<frmMessage>();
    if (!box.IsLoaded() || !box.Visible()) return "";
    return box.Caption() + " | " + box.lblMessage.Caption();
  }
  static void CloseMessage() {
    frmMessage& box = rt::Default<frmMessage>();
    if (box.IsLoaded()) box.Command1.PerformClick();
  }

  // Switches the alarm channels on in the options dialog, with its server and both addresses typed in.
  static void Channels(const std::string& server, bool mail1, bool mail2, bool sms) {
    frmOptions& d = Dialog();
    d.txtEmailServer.SetText(server);
    d.txtToEmailAddress1.SetText("anna@example.net");
    d.txtToEmailAddress2.SetText("ben@example.net");
    d.chkEMail1.SetValue(mail1 ? 1 : 0);
    d.chkEMail2.SetValue(mail2 ? 1 : 0);
    d.chkSMS.SetValue(sms ? 1 : 0);
    ASSERT_EQ(d.chkEMail1.Value(), mail1 ? 1 : 0);
    ASSERT_EQ(d.chkEMail2.Value(), mail2 ? 1 : 0);
    ASSERT_EQ(d.chkSMS.Value(), sms ? 1 : 0);
  }

  // True when the text is the date and time of a moment in [from, to], in the general form.
  static bool IsMomentBetween(const std::string& text, rt::DateTime from, rt::DateTime to) {
    if (!rt::IsDate(text)) return false;
    const double serial = rt::CDate(text).serial;
    const double second = 1.0 / 86400;
    return rt::FormatGeneralDate(rt::CDate(text)) == text && serial >= from.serial - second &&
           serial <= to.serial + second;
  }

  // The reports of the evaluation in the error log, from its report text on.
  std::vector<std::string> AlarmLog() const {
    std::vector<std::string> reports;
    for (const std::string& line : Lines(ErrorLog())) {
      const size_t at = line.find("CheckAndSendAlarms of Formular frmMain_Tollerwick");
      if (at != std::string::npos) reports.push_back(line.substr(at));
    }
    return reports;
  }
  using Reports = std::vector<std::string>;

  std::unique_ptr<ErrorWatch> errors;
};

TEST_F(Alarms, TheChangeGivesTheDirectionItsColourAndItsLimit) {
  MainForm->chkAlarmSnd.SetValue(0);
  // the high limit lies below the price and the low limit above it: the limit tested shows the direction
  Limits(kRise, "100", "1,300");
  struct Case {
    const char* change;
    long color;
    const char* picture;
  };
  const Case cases[] = {
      {"+1.25 (0.50%)", kDarkGreen, "AlarmUP.bmp"},
      {"1.25 (0.50%)", kDarkGreen, "AlarmUP.bmp"},
      {"", kDarkGreen, "AlarmUP.bmp"},
      {"N/A", kDarkGreen, "AlarmUP.bmp"},
      {"-0.75 (-0.30%)", kRed, "Alarmdown.bmp"},
      {"-0.00 (0.00%)", kRed, "Alarmdown.bmp"},
  };
  for (const Case& c : cases) {
    Quote(kRise, "1,200.50", c.change);
    EXPECT_EQ(ChangeColor(kRise), c.color) << c.change;
    EXPECT_EQ(Picture(kRise), c.picture) << c.change;
    // the cells keep their texts, and the grid is left on the row's first cell
    EXPECT_EQ(Grid().TextMatrix(kRise, 3), "1,200.50");
    EXPECT_EQ(Grid().TextMatrix(kRise, 4), c.change);
    EXPECT_EQ(Grid().TextMatrix(kRise, 11), "100");
    EXPECT_EQ(Grid().TextMatrix(kRise, 12), "1,300");
  }
  Quote(kRise, "200", "-1");
  EXPECT_EQ(Grid().Row(), kRise);
  EXPECT_EQ(Grid().Col(), 0);
  EXPECT_EQ(AlarmLog(), Reports{});
}

TEST_F(Alarms, OnlyAPriceStrictlyBeyondAGivenLimitIsAnAlarm) {
  MainForm->chkAlarmSnd.SetValue(0);
  struct Case {
    const char* last;
    const char* change;
    const char* high;
    const char* low;
    const char* picture;
  };
  const Case cases[] = {
      {"250.01", "+1", "250", "200", "AlarmUP.bmp"},
      {"250", "+1", "250", "200", "up.bmp"},
      {"199.99", "-1", "250", "200", "Alarmdown.bmp"},
      {"200.00", "-1", "250", "200", "down.bmp"},
      {"1,234.50", "+1", "1234", "", "AlarmUP.bmp"},
      {"1,233.99", "+1", "1234", "", "up.bmp"},
      // each direction tests its own limit only
      {"150", "+1", "250", "200", "up.bmp"},
      {"300", "-1", "250", "200", "down.bmp"},
      // no limit, or blanks only: no alarm on that side, though the empty text counts as 0
      {"5", "+1", "", "", "up.bmp"},
      {"5", "+1", "   ", "", "up.bmp"},
      {"-5", "-1", "", "   ", "down.bmp"},
      // a limit that is no number counts as 0
      {"0.01", "+1", "abc", "", "AlarmUP.bmp"},
      {"5", "-1", "", "abc", "down.bmp"},
      {"-0.5", "-1", "", "abc", "Alarmdown.bmp"},
      // a price that is no number counts as 0
      {"N/A", "-1", "", "10", "Alarmdown.bmp"},
      {"N/A", "+1", "10", "", "up.bmp"},
  };
  for (const Case& c : cases) {
    Limits(kRise, c.high, c.low);
    Quote(kRise, c.last, c.change);
    EXPECT_EQ(Picture(kRise), c.picture) << c.last << " " << c.change << " [" << c.high << "] [" << c.low << "]";
  }
  EXPECT_EQ(AlarmLog(), Reports{});
}

TEST_F(Alarms, AnAlarmAlertsTheDeskAtEveryEvaluationAndTheLastOneStaysOnScreen) {
  peers::SmtpServer server;
  Channels(server.Name(), true, false, false);

  Quote(kFall, "199.50", "-0.50 (-0.25%)");
  EXPECT_EQ(Message(), "FALL Alarm | FALL is below Low Limit !");
  EXPECT_FALSE(rt::Default<frmMessage>().Window()->isModal());
  EXPECT_EQ(Picture(kFall), "Emaildown.bmp");
  EXPECT_EQ(server.Connections(), 1);

  // still beyond the limit at the next cycle: window again, no second mail within the wait
  CloseMessage();
  Quote(kFall, "199.40", "-0.60 (-0.30%)");
  EXPECT_EQ(Message(), "FALL Alarm | FALL is below Low Limit !");
  EXPECT_EQ(Picture(kFall), "Alarmdown.bmp");
  EXPECT_EQ(server.Connections(), 1);

  // a second row in the same cycle takes over the one window
  Quote(kRise, "251", "+1.00 (0.40%)");
  EXPECT_EQ(Message(), "RISE Alarm | RISE is over High Limit !");
  EXPECT_EQ(server.Connections(), 2);

  // back inside the limits: no alert
  CloseMessage();
  Quote(kRise, "249", "+1.00 (0.40%)");
  Quote(kFall, "201", "-1.00 (-0.40%)");
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(Picture(kRise), "up.bmp");
  EXPECT_EQ(Picture(kFall), "down.bmp");
  EXPECT_EQ(ErrorLog().find("of Formular frmMain_Tollerwick"), std::string::npos) << ErrorLog();
  EXPECT_TRUE(errors->seen.empty());
}

TEST_F(Alarms, WithoutAlarmSoundAndWindowTheRestStillHappens) {
  peers::SmtpServer server;
  Channels(server.Name(), true, false, false);
  MainForm->chkAlarmSnd.SetValue(0);
  Quote(kRise, "260", "+10");
  EXPECT_FALSE(rt::Default<frmMessage>().IsLoaded());
  EXPECT_EQ(Picture(kRise), "Emailup.bmp");
  EXPECT_NE(Stamp(kRise), "00:00:00");
  EXPECT_EQ(Mails(server.Lines()).size(), 1u);
}

TEST_F(Alarms, TheAlarmWaitCountsHourBoundariesFromTheStamp) {
  peers::SmtpServer server;
  Channels(server.Name(), true, false, false);
  MainForm->chkAlarmSnd.SetValue(0);
  struct Case {
    const char* wait;
    rt::DateTime stamp;
    rt::DateTime now;
    bool due;
  };
  const Case cases[] = {
      {"12", At(12, 7, 10, 59), At(12, 7, 22, 30), false},
      {"12", At(12, 7, 10, 59), At(12, 7, 23, 0), true},  // twelve hours and a minute later
      {"12", At(12, 7, 10, 0), At(12, 7, 22, 40), false},
      {"12", At(12, 7, 10, 0), At(12, 7, 23, 0), true},
      {"2", At(12, 7, 10, 0), At(12, 7, 12, 30), false},
      {"2", At(12, 7, 10, 0), At(12, 7, 13, 0), true},
      {"0", At(12, 7, 10, 0), At(12, 7, 10, 40), false},
      {"0", At(12, 7, 10, 0), At(12, 7, 11, 0), true},
      // a stamp ahead of the clock, as after the clock was set back
      {"2", At(12, 8, 10, 0), At(12, 7, 10, 0), false},
      {"2", At(12, 8, 10, 0), At(12, 8, 12, 30), false},
      {"2", At(12, 8, 10, 0), At(12, 8, 13, 0), true},
  };
  for (const Case& c : cases) {
    const std::string stamp = rt::FormatGeneralDate(c.stamp);
    const std::string label = std::string(c.wait) + " h after " + stamp + " at " + rt::FormatGeneralDate(c.now);
    settings::txtAlarmWait = c.wait;
    Stamp(kRise, stamp);
    rt::testing::SetNow(c.now);
    const size_t before = Mails(server.Lines()).size();
    Quote(kRise, "260", "+10");
    EXPECT_EQ(Mails(server.Lines()).size(), before + (c.due ? 1 : 0)) << label;
    EXPECT_EQ(Picture(kRise), c.due ? "Emailup.bmp" : "AlarmUP.bmp") << label;
    if (c.due)
      EXPECT_TRUE(IsMomentBetween(Stamp(kRise), c.now, rt::Now())) << label << ": " << Stamp(kRise);
    else
      EXPECT_EQ(Stamp(kRise), stamp) << label;
  }
}

TEST_F(Alarms, ANewRowNotifiesAtOnceAndStampsTheMoment) {
  peers::SmtpServer server;
  Channels(server.Name(), true, false, false);
  for (const int row : {kRise, kFall}) {
    ASSERT_EQ(Stamp(row), "00:00:00");
    const rt::DateTime before = rt::Now();
    Quote(row, row == kRise ? "250.5" : "199.5", row == kRise ? "+1" : "-1");
    EXPECT_TRUE(IsMomentBetween(Stamp(row), before, rt::Now())) << Stamp(row);
  }
  EXPECT_EQ(Mails(server.Lines()).size(), 2u);
}

TEST_F(Alarms, AFallingRowSendsMail1Mail2AndTheSmsInThatOrder) {
  peers::SmtpServer server;
  settings::txtEmailServer = server.Name();
  Channels(server.Name(), true, true, true);
  Limits(kFall, "1,250", "1,200");
  const rt::DateTime before = rt::Now();
  Quote(kFall, "1,199.50", "-0.50 (-0.04%)");
  const rt::DateTime after = rt::Now();

  const std::vector<Mail> mails = Mails(server.Lines());
  ASSERT_EQ(mails.size(), 3u);
  const std::vector<std::string> news = {"VYK News -- 12/7/2026", "Markets open calm"};
  const char* const subject = "FALL = 1,199.50 / fell short of Low Limit";
  EXPECT_EQ(mails[0].rcpt, "anna@example.net");
  EXPECT_EQ(mails[0].to, "anna@example.net");
  EXPECT_EQ(mails[0].from, "\"Brennavale\" <fred@example.org>");
  EXPECT_EQ(mails[0].subject, subject);
  EXPECT_EQ(mails[0].body, news);
  EXPECT_EQ(mails[1].rcpt, "ben@example.net");
  EXPECT_EQ(mails[1].to, "ben@example.net");
  EXPECT_EQ(mails[1].from, "\"Brennavale\" <fred@example.org>");
  EXPECT_EQ(mails[1].subject, subject);
  EXPECT_EQ(mails[1].body, news);
  EXPECT_EQ(mails[2].rcpt, "+4917099887766@sms-gateway.example");
  EXPECT_EQ(mails[2].to, "Fred Miller");
  EXPECT_EQ(mails[2].from, "\"Tollerwick\" <fred@example.org>");
  EXPECT_EQ(mails[2].subject, "4711");
  ASSERT_EQ(mails[2].body.size(), 2u);
  EXPECT_TRUE(IsMomentBetween(mails[2].body[0], before, after)) << mails[2].body[0];
  EXPECT_EQ(mails[2].body[1], subject);
  for (const Mail& m : mails) EXPECT_TRUE(m.complete);

  EXPECT_EQ(Picture(kFall), "Emaildown.bmp");
  EXPECT_TRUE(IsMomentBetween(Stamp(kFall), before, after)) << Stamp(kFall);
  EXPECT_TRUE(errors->seen.empty());
}

TEST_F(Alarms, ARisingRowSendsAsTollerwickWithTheHighLimitText) {
  peers::SmtpServer server;
  settings::txtEmailServer = server.Name();
  Channels(server.Name(), true, true, true);
  settings::NewsIndex = 0;  // no news loaded: an empty body
  Quote(kRise, "250.10", "+0.10 (0.04%)");

  const std::vector<Mail> mails = Mails(server.Lines());
  ASSERT_EQ(mails.size(), 3u);
  for (const Mail& m : mails) EXPECT_EQ(m.from, "\"Tollerwick\" <fred@example.org>");
  EXPECT_EQ(mails[0].rcpt, "anna@example.net");
  EXPECT_EQ(mails[1].rcpt, "ben@example.net");
  EXPECT_EQ(mails[0].subject, "RISE = 250.10 / exceeded High Limit");
  EXPECT_EQ(mails[1].subject, "RISE = 250.10 / exceeded High Limit");
  EXPECT_EQ(mails[0].body, std::vector<std::string>{""});
  EXPECT_EQ(mails[2].subject, "4711");
  ASSERT_EQ(mails[2].body.size(), 2u);
  EXPECT_EQ(mails[2].body[1], "RISE = 250.10 / exceeded High Limit");
  EXPECT_EQ(Picture(kRise), "Emailup.bmp");
}

TEST_F(Alarms, EmailsGoThroughTheDialogsServerAndTheSmsThroughTheSetting) {
  peers::SmtpServer dialogServer, settingServer;
  settings::txtEmailServer = settingServer.Name();
  settings::txtToEmailAddress1 = "applied@example.net";
  Channels(dialogServer.Name(), true, false, true);  // typed in the dialog, not applied
  Quote(kRise, "300", "+50");

  const std::vector<Mail> mails = Mails(dialogServer.Lines());
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].rcpt, "anna@example.net");
  const std::vector<Mail> sms = Mails(settingServer.Lines());
  ASSERT_EQ(sms.size(), 1u);
  EXPECT_EQ(sms[0].rcpt, "+4917099887766@sms-gateway.example");
}

TEST_F(Alarms, TheChannelPictureNeedsAChannelButTheStampDoesNot) {
  peers::SmtpServer server;
  settings::txtEmailServer = server.Name();

  // every channel off: stamped, alarm picture, nothing sent
  Channels(server.Name(), false, false, false);
  Quote(kRise, "300", "+50");
  EXPECT_EQ(Picture(kRise), "AlarmUP.bmp");
  EXPECT_NE(Stamp(kRise), "00:00:00");
  EXPECT_EQ(server.Connections(), 0);

  // the SMS alone: mail picture, the SMS only
  Channels(server.Name(), false, false, true);
  Quote(kFall, "100", "-50");
  EXPECT_EQ(Picture(kFall), "Emaildown.bmp");
  const std::vector<Mail> mails = Mails(server.Lines());
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].rcpt, "+4917099887766@sms-gateway.example");
}

TEST_F(Alarms, AFailedSendDoesNotKeepTheNextOnesBack) {
  peers::SmtpServer server;
  server.Answer("rcpt to: anna@", {{"550 no such user"}});
  settings::txtEmailServer = server.Name();
  Channels(server.Name(), true, true, true);
  rt::testing::SetRate(100);  // the mail sender's reply wait passes quickly
  Quote(kRise, "300", "+50");

  ASSERT_EQ(errors->seen.size(), 1u);
  EXPECT_NE(errors->seen[0].find("impromper response code"), std::string::npos) << errors->seen[0];
  const std::vector<Mail> mails = Mails(server.Lines());
  ASSERT_EQ(mails.size(), 3u);
  EXPECT_FALSE(mails[0].complete);
  EXPECT_EQ(mails[1].rcpt, "ben@example.net");
  EXPECT_TRUE(mails[1].complete);
  EXPECT_EQ(mails[2].rcpt, "+4917099887766@sms-gateway.example");
  EXPECT_TRUE(mails[2].complete);
  EXPECT_EQ(AlarmLog(), Reports{});
}

TEST_F(Alarms, AnUnreadableStampKeepsAFallingRowQuietAndIsAnErrorForARisingOne) {
  peers::SmtpServer server;
  Channels(server.Name(), true, false, false);
  for (const char* stamp : {"", "soon"}) {
    Stamp(kFall, stamp);
    Quote(kFall, "100", "-50");
    EXPECT_EQ(Picture(kFall), "Alarmdown.bmp") << stamp;
    EXPECT_EQ(Stamp(kFall), stamp);
    EXPECT_EQ(Message(), "FALL Alarm | FALL is below Low Limit !");
  }
  EXPECT_EQ(AlarmLog(), Reports{});

  Stamp(kRise, "soon");
  Quote(kRise, "300", "+50");
  const Reports mismatch = {"CheckAndSendAlarms of Formular frmMain_Tollerwick  0  13  Type mismatch"};
  EXPECT_EQ(AlarmLog(), mismatch);
  EXPECT_EQ(Picture(kRise), "AlarmUP.bmp");
  EXPECT_EQ(Stamp(kRise), "soon");
  EXPECT_EQ(Message(), "RISE Alarm | RISE is over High Limit !");
  EXPECT_EQ(server.Connections(), 0);

  // the same for an alarm wait that is no number
  settings::txtAlarmWait = "twelve";
  Stamp(kFall, "00:00:00");
  Quote(kFall, "100", "-50");
  EXPECT_EQ(Stamp(kFall), "00:00:00");
  EXPECT_EQ(server.Connections(), 0);
  EXPECT_EQ(AlarmLog(), mismatch);
  settings::txtAlarmWait = "twelve";
  Stamp(kRise, "00:00:00");
  Quote(kRise, "300", "+50");
  EXPECT_EQ(AlarmLog(), Reports(2, mismatch[0]));
  EXPECT_EQ(Stamp(kRise), "00:00:00");
  EXPECT_EQ(server.Connections(), 0);
}

TEST_F(Alarms, ARowWithoutScrollEntryIsLoggedBeforeAnyPicture) {
  // a grid row beyond the scroll entries
  const int row = kFall + 1;
  Grid().SetRows(row + 1);
  ASSERT_EQ(settings::TickerCount, 2);
  Grid().SetTextMatrix(row, 2, "LATE");
  Stamp(row, "00:00:00");
  Limits(row, "10", "5");
  Grid().SetRow(row);
  Grid().SetCol(0);
  const std::string picture = Grid().CellPicture();
  Quote(row, "20", "+1");
  EXPECT_EQ(
      AlarmLog(),
      Reports{
          "CheckAndSendAlarms of Formular frmMain_Tollerwick  0  91  Object variable or With block variable not set"});
  Grid().SetRow(row);
  Grid().SetCol(0);
  EXPECT_EQ(Grid().CellPicture(), picture);
  EXPECT_EQ(Stamp(row), "00:00:00");
  EXPECT_EQ(Message(), "");
}

TEST_F(Alarms, AMissingAlarmPictureEndsTheEvaluationThere) {
  peers::SmtpServer server;
  Channels(server.Name(), true, false, false);
  std::filesystem::remove(common + "/bitmap/Alarmdown.bmp");
  Quote(kFall, "100", "-50");
  EXPECT_EQ(AlarmLog(), Reports{"CheckAndSendAlarms of Formular frmMain_Tollerwick  0  53  File not found"});
  EXPECT_EQ(ChangeColor(kFall), kRed);
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(Stamp(kFall), "00:00:00");
  EXPECT_EQ(server.Connections(), 0);
  // the other pictures are there
  Quote(kRise, "300", "+50");
  EXPECT_EQ(Picture(kRise), "Emailup.bmp");
}

TEST_F(Alarms, ANewsIndexPastTheTableEndsAtTheFirstEmailButNotTheSmsAlone) {
  peers::SmtpServer server;
  settings::txtEmailServer = server.Name();
  settings::NewsIndex = 24;
  Channels(server.Name(), true, false, true);
  Quote(kRise, "300", "+50");
  EXPECT_EQ(AlarmLog(), Reports{"CheckAndSendAlarms of Formular frmMain_Tollerwick  0  9  Subscript out of range"});
  EXPECT_EQ(Picture(kRise), "Emailup.bmp");
  EXPECT_NE(Stamp(kRise), "00:00:00");
  EXPECT_EQ(server.Connections(), 0);

  Channels(server.Name(), false, false, true);
  Quote(kFall, "100", "-50");
  EXPECT_EQ(Mails(server.Lines()).size(), 1u);
}

// The desk's alarm sound, heard through the sound output's record of what it played.
class AlarmSound : public Alarms {
 protected:
  void SetUp() override {
    Alarms::SetUp();
    std::filesystem::create_directories(common + "/sound");
    std::filesystem::copy_file(TOLLERWICK_SOURCE_DIR "/resources/Common/sound/alarm.wav", Wave());
    win32::testing::SetSoundDevices(1);
    win32::testing::RecordSounds(true);
    win32::testing::PlayedSounds().clear();
    MainForm->chkAlarmSnd.SetValue(1);
  }
  void TearDown() override {
    win32::testing::RecordSounds(false);
    win32::testing::SetSoundDevices(-1);
    win32::testing::PlayedSounds().clear();
    Alarms::TearDown();
  }
  std::string Wave() const { return common + "/sound/alarm.wav"; }
  // What the alarm of one more evaluation played: the file, "(default)" for the desktop's own sound, or
  // "" for nothing.
  std::string Heard() {
    const size_t before = win32::testing::PlayedSounds().size();
    Quote(kRise, "300", "+50");
    CloseMessage();
    const auto& played = win32::testing::PlayedSounds();
    if (played.size() == before) return "";
    EXPECT_EQ(played.size(), before + 1);
    const win32::testing::PlayedSound& sound = played.back();
    // asynchronous, and never without the default sound
    EXPECT_EQ(sound.flags & (win32::SND_ASYNC | win32::SND_NODEFAULT), win32::SND_ASYNC);
    EXPECT_EQ(std::filesystem::path(sound.file).lexically_normal(), std::filesystem::path(Wave()).lexically_normal());
    return sound.defaultSound ? "(default)" : "alarm.wav";
  }
};

TEST_F(AlarmSound, PlaysTheSharedWaveOrElseTheDesktopsOwnSound) {
  EXPECT_EQ(Heard(), "alarm.wav");
  EXPECT_EQ(Heard(), "alarm.wav");

  // only with the box ticked, and only with a sound device (asked at every alarm)
  MainForm->chkAlarmSnd.SetValue(0);
  EXPECT_EQ(Heard(), "");
  MainForm->chkAlarmSnd.SetValue(1);
  win32::testing::SetSoundDevices(0);
  EXPECT_EQ(Heard(), "");
  win32::testing::SetSoundDevices(2);
  EXPECT_EQ(Heard(), "alarm.wav");

  // a wave that cannot be played, or none at all: the default sound in its place
  WriteFile(Wave(), "a text, not a sound");
  EXPECT_EQ(Heard(), "(default)");
  std::filesystem::remove(Wave());
  EXPECT_EQ(Heard(), "(default)");
  EXPECT_EQ(ErrorLog().find("AlarmSound"), std::string::npos) << ErrorLog();
}

TEST_F(Alarms, EachSendReadsItsSwitchAndAddressJustBeforeItStarts) {
  peers::SmtpServer server;
  settings::txtEmailServer = server.Name();
  Channels(server.Name(), true, true, false);
  // while the first mail is on its way, the user switches the SMS on, the second mail off, and then
  // on again with another address
  bool changed = false;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (changed || !Has(server.Lines(), "rcpt to: anna@example.net")) return;
    changed = true;
    Dialog().chkSMS.SetValue(1);
    Dialog().chkEMail2.SetValue(0);
    Dialog().txtToEmailAddress2.SetText("carl@example.net");
  });
  user.start(5);
  Quote(kRise, "300", "+50");
  user.stop();
  ASSERT_TRUE(changed);

  std::vector<Mail> mails = Mails(server.Lines());
  ASSERT_EQ(mails.size(), 2u);
  EXPECT_EQ(mails[0].rcpt, "anna@example.net");
  EXPECT_EQ(mails[1].rcpt, "+4917099887766@sms-gateway.example");

  // the second mail on again during the first: it goes to the address typed meanwhile
  Dialog().chkEMail2.SetValue(0);
  Dialog().chkSMS.SetValue(0);
  Dialog().txtToEmailAddress2.SetText("ben@example.net");
  changed = false;
  QObject::disconnect(&user, nullptr, nullptr, nullptr);
  const size_t before = server.Lines().size();
  QObject::connect(&user, &QTimer::timeout, [&] {
    const std::vector<std::string> lines = server.Lines();
    if (changed || !Has(std::vector<std::string>(lines.begin() + before, lines.end()), "rcpt to: anna@example.net"))
      return;
    changed = true;
    Dialog().chkEMail2.SetValue(1);
    Dialog().txtToEmailAddress2.SetText("carl@example.net");
  });
  user.start(5);
  Stamp(kFall, "00:00:00");
  Quote(kFall, "100", "-50");
  user.stop();
  ASSERT_TRUE(changed);
  mails = Mails(server.Lines());
  ASSERT_EQ(mails.size(), 4u);
  EXPECT_EQ(mails[2].rcpt, "anna@example.net");
  EXPECT_EQ(mails[3].rcpt, "carl@example.net");
  EXPECT_EQ(mails[3].to, "carl@example.net");
}
