// Whatever a user types, in any script, into any box of the main window and the options dialog, at any caret
// position: the program goes on, the checked fields hold values the scheduler reads, and what the program
// keeps (the settings store, the ticker file) it reads again as it was.
//
// The texts come from a fixed seed; TOLLERWICK_TYPING_SEED=<number> types those of another one, and
// TOLLERWICK_TYPING_SEED=random a new one each run, printed.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QString>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Strings.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/support/Input.h"
#include "windows/frmOptions.h"

using Tollerwick_Main::MainForm;

namespace {

unsigned Seed() {
  const char* asked = std::getenv("TOLLERWICK_TYPING_SEED");
  if (!asked || !*asked) return 20261208;
  if (std::string(asked) == "random") {
    const unsigned seed = std::random_device{}();
    std::cout << "typing seed: " << seed << std::endl;
    return seed;
  }
  return static_cast<unsigned>(std::strtoul(asked, nullptr, 10));
}

// Characters of ASCII, Latin-1, Greek, Cyrillic, Hebrew, Arabic, CJK, combining marks and emoji.
class RandomText {
 public:
  explicit RandomText(unsigned seed) : random_(seed) {}
  QString Next(int longest = 40) {
    static const std::vector<std::pair<char32_t, char32_t>> ranges = {
        {0x20, 0x7E},     {0x30, 0x3A},     {0xA0, 0xFF},     {0x391, 0x3C9},  {0x410, 0x44F},
        {0x5D0, 0x5EA},   {0x627, 0x64A},   {0x4E00, 0x9FFF}, {0x300, 0x36F},  {0x1F600, 0x1F64F},
    };
    QString text;
    for (int n = Pick(1, longest); n > 0; --n) {
      const auto& [low, high] = ranges[Pick(0, static_cast<int>(ranges.size()) - 1)];
      const char32_t c = low + static_cast<char32_t>(Pick(0, static_cast<int>(high - low)));
      text += QString::fromUcs4(&c, 1);
    }
    return text;
  }
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  std::mt19937 random_;
};

// What a user does in one box: a caret put somewhere, a text typed, now and then a character deleted. A box
// that keeps a short form (a time, a number) gets short texts as often as long ones.
void TypeSomething(rt::TextBox& box, RandomText& random, bool shortForm = false) {
  QWidget* w = box.Widget();
  for (int edits = random.Pick(1, 3); edits > 0; --edits) {
    CaretTo(w, random.Pick(0, static_cast<int>(rt::Len(box.Text())) + 1));
    const int what = random.Pick(0, 5);
    if (what == 0)
      PressKey(w, Qt::Key_Backspace);
    else if (what == 1)
      PressKey(w, Qt::Key_Delete);
    else
      TypeKeys(w, random.Next(shortForm && random.Pick(0, 1) ? 2 : 40));
  }
}

bool ReadsAsATime(const std::string& text) {
  // the hour 24 stands for the minutes after the day's end
  if (text.size() == 5 && text.rfind("24:", 0) == 0) return rt::IsNumeric(text.substr(3)) && rt::CLng(text.substr(3)) < 60;
  return !RaisedBy([&] { rt::CDate(text); });
}

bool InRange(const std::string& text, long minimum) {
  long n = 0;
  return !RaisedBy([&] { n = rt::CLng(text); }) && n >= minimum && n <= 32767;
}

}  // namespace

class Typing : public OptionsSandbox {};

TEST_F(Typing, AnyTextTypedAnywhereLeavesTheProgramWorkingAndItsFilesReadable) {
  const unsigned seed = Seed();
  SCOPED_TRACE("typing seed " + std::to_string(seed));
  RandomText random(seed);
  frmMain_Tollerwick& main = *MainForm;
  frmOptions& options = Dialog();
  std::vector<rt::TextBox*> mainBoxes = {&main.txtTicker, &main.txtHigh, &main.txtLow, &main.txtDJIA};
  std::vector<rt::TextBox*> optionBoxes = {
      &options.txtUserName,        &options.txtUserEmail,   &options.txtEmailServer,  &options.txtToEmailAddress1,
      &options.txtToEmailAddress2, &options.txtToSMSAddress, &options.txtToSMSSubject, &options.txtToInternetSMSAddress,
      &options.txtAlarmWait,       &options.txtStartTime,   &options.txtStopTime,     &options.txtUpdateInterval,
      &options.txtProxyServer,     &options.txtProxyPort,   &options.txtUserName2,    &options.txtPassword2};

  std::vector<rt::TextBox*> checkedBoxes = {&options.txtStartTime, &options.txtStopTime, &options.txtUpdateInterval,
                                            &options.txtAlarmWait};
  Tollerwick_Sub::chkAutoUpdate = 1;
  for (int round = 0; round < 4; ++round) {
    ClickOn(main.cmdAddTicker.Widget());
    for (rt::TextBox* box : mainBoxes) TypeSomething(*box, random);
    for (rt::TextBox* box : optionBoxes) TypeSomething(*box, random);
    for (rt::TextBox* box : checkedBoxes) TypeSomething(*box, random, true);
    ClickOn(round % 2 ? options.cmdApply.Widget() : options.cmdOK.Widget());

    using namespace Tollerwick_Sub;
    EXPECT_TRUE(ReadsAsATime(txtStartTime)) << txtStartTime;
    EXPECT_TRUE(ReadsAsATime(txtStopTime)) << txtStopTime;
    EXPECT_TRUE(InRange(txtUpdateInterval, 10)) << txtUpdateInterval;
    EXPECT_TRUE(InRange(txtAlarmWait, 2)) << txtAlarmWait;
    EXPECT_EQ(Setting(UserApp(), "Settings", "txtUpdateInterval"), txtUpdateInterval);
    // the scheduler reads them
    main.TimerRT_Timer();
    EXPECT_EQ(ErrorLog().find("TimerRT_Timer"), std::string::npos) << ErrorLog();
  }

  std::vector<std::string> tickers;
  for (long r = 2; r < main.FG3.Rows(); ++r) tickers.push_back(main.FG3.TextMatrix(r, 2));
  const std::string interval = Tollerwick_Sub::txtUpdateInterval, start = Tollerwick_Sub::txtStartTime;
  Exit();

  // the next start reads both files as they were left
  ASSERT_TRUE(RunMain());
  EXPECT_EQ(Tollerwick_Sub::txtUpdateInterval, interval);
  EXPECT_EQ(Tollerwick_Sub::txtStartTime, start);
  std::vector<std::string> loaded;
  for (long r = 2; r < MainForm->FG3.Rows(); ++r) loaded.push_back(MainForm->FG3.TextMatrix(r, 2));
  // a row whose ticker is blank is not loaded again
  std::vector<std::string> kept;
  for (const std::string& t : tickers)
    if (t.find_first_not_of(' ') != std::string::npos) kept.push_back(t);
  if (kept.empty()) kept.push_back("");
  EXPECT_EQ(loaded, kept);
  EXPECT_EQ(ErrorLog().find("Load_Settings"), std::string::npos) << ErrorLog();
  EXPECT_EQ(ErrorLog().find("FillGrid"), std::string::npos) << ErrorLog();
}
