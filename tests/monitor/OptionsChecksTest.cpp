#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QLineEdit>
#include <QScrollBar>
#include <string>
#include <utility>
#include <vector>

#include "monitor/Tollerwick_Sub.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Convert.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/support/Input.h"
#include "windows/frmOptions.h"

class OptionsChecks : public OptionsSandbox {
 protected:

  // The user's edits, as the keyboard makes them: the text typed at a caret position, the character
  // before a caret position deleted.
  static void Type(rt::TextBox& box, int at, const std::string& text) {
    Edit(box)->setCursorPosition(at);
    Edit(box)->insert(QString::fromStdString(text));
  }
  static void Backspace(rt::TextBox& box, int at) {
    Edit(box)->setCursorPosition(at);
    Edit(box)->backspace();
  }
  static void Retype(rt::TextBox& box, const std::string& text) {
    Edit(box)->selectAll();
    Edit(box)->insert(QString::fromStdString(text));
  }
  // A click on the scroll bar, as the user makes it; the bar tells of its new value once the click is done.
  static void Click(rt::ScrollBar& bar, QAbstractSlider::SliderAction action) {
    static_cast<QScrollBar*>(bar.Widget())->triggerAction(action);
    rt::DoEvents();
  }
  static QLineEdit* Edit(rt::TextBox& box) { return static_cast<QLineEdit*>(box.Widget()); }
};

TEST_F(OptionsChecks, ATimeIsBroughtToHoursAndMinutesWhateverIsSetInIt) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"9:30", "09:30"},    // one hour digit
      {"", "00:00"},        // nothing at all
      {":30", "00:30"},     // no hour
      {"930", "00:00"},     // no colon
      {"123:45", "12:00"},  // three hour digits: the minutes go
      {"ab:30", "00:30"},   // an hour that is no number
      {"25:10", "24:10"},   // past the last hour
      {"99:99", "24:59"},   // both parts too big
      {"24:59", "24:59"},   // the latest time is kept
      {"12:", "12:00"},     // no minutes
      {"12:3", "12:30"},    // one minute digit
      {"1:2", "01:20"},     // one digit each
      {"12:345", "12:34"},  // too long
      {"12:75", "12:59"},   // past the last minute
      {"12:ab", "12:00"},   // minutes that are no number
      {"-1:30", "-1:30"},   // a part that reads as a number is not looked at further
      {" 9:30", " 9:30"},
  };
  for (rt::TextBox* box : {&Dialog().txtStartTime, &Dialog().txtStopTime}) {
    for (const auto& [set, shown] : cases) {
      box->SetText(set);
      EXPECT_EQ(box->Text(), shown) << box->Name() << " set to \"" << set << "\"";
    }
  }
  EXPECT_EQ(ErrorLog().find("of Formular frmOptions"), std::string::npos) << ErrorLog();
}

TEST_F(OptionsChecks, StoredTimesShowCorrected) {
  Tollerwick_Sub::txtStartTime = "930";
  Tollerwick_Sub::txtStopTime = "25:10";
  EXPECT_EQ(Dialog().txtStartTime.Text(), "00:00");
  EXPECT_EQ(Dialog().txtStopTime.Text(), "24:10");
  // nothing is stored before OK or Apply
  EXPECT_EQ(Tollerwick_Sub::txtStartTime, "930");
}

TEST_F(OptionsChecks, TypingIntoAFullTimeBoxKeepsItsFormAndTheCaretWhereTheEditLeftIt) {
  rt::TextBox& box = Dialog().txtStartTime;
  ASSERT_EQ(box.Text(), "09:30");

  Type(box, 4, "5");  // into the minutes
  EXPECT_EQ(box.Text(), "09:35");
  EXPECT_EQ(box.SelStart(), 5);

  Type(box, 5, "7");  // at the end: cut off again
  EXPECT_EQ(box.Text(), "09:35");
  EXPECT_EQ(box.SelStart(), 5);

  Type(box, 1, "1");  // into the hour: the colon moves back and the minutes go
  EXPECT_EQ(box.Text(), "01:00");
  EXPECT_EQ(box.SelStart(), 2);

  box.SetText("09:30");
  Backspace(box, 5);  // the last minute digit
  EXPECT_EQ(box.Text(), "09:30");
  EXPECT_EQ(box.SelStart(), 4);

  Backspace(box, 1);  // the first hour digit
  EXPECT_EQ(box.Text(), "09:30");
  EXPECT_EQ(box.SelStart(), 0);

  Backspace(box, 3);  // the colon
  EXPECT_EQ(box.Text(), "00:00");
  EXPECT_EQ(box.SelStart(), 2);
}

TEST_F(OptionsChecks, TheIntervalStaysInItsRangeAndMovesItsScrollBar) {
  rt::TextBox& box = Dialog().txtUpdateInterval;
  rt::ScrollBar& bar = Dialog().VScroll1;
  EXPECT_EQ(bar.Min(), 10);
  EXPECT_EQ(bar.Max(), 32767);

  box.SetText("15");
  EXPECT_EQ(bar.Value(), 15);
  box.SetText("5");
  EXPECT_EQ(box.Text(), "10");
  EXPECT_EQ(bar.Value(), 10);
  box.SetText("40000");
  EXPECT_EQ(box.Text(), "32767");
  EXPECT_EQ(bar.Value(), 32767);
  box.SetText("");
  EXPECT_EQ(box.Text(), "10");
  EXPECT_EQ(bar.Value(), 10);
  // a number beyond the 16-bit range but not the 32-bit one is cut too
  box.SetText("99999999");
  EXPECT_EQ(box.Text(), "32767");

  // typing a new interval: the first digit alone is too small
  Retype(box, "2");
  EXPECT_EQ(box.Text(), "10");
  Type(box, 2, "0");
  EXPECT_EQ(box.Text(), "100");
  EXPECT_EQ(bar.Value(), 100);
  EXPECT_EQ(ErrorLog().find("of Formular frmOptions"), std::string::npos) << ErrorLog();
}

TEST_F(OptionsChecks, TheAlarmWaitStaysInItsRangeAndMovesItsScrollBar) {
  rt::TextBox& box = Dialog().txtAlarmWait;
  rt::ScrollBar& bar = Dialog().VScroll2;
  EXPECT_EQ(bar.Min(), 2);
  for (const char* tooSmall : {"0", "1", "-7"}) {
    box.SetText(tooSmall);
    EXPECT_EQ(box.Text(), "2") << tooSmall;
    EXPECT_EQ(bar.Value(), 2) << tooSmall;
  }
  box.SetText("3");
  EXPECT_EQ(bar.Value(), 3);
  box.SetText("40000");
  EXPECT_EQ(box.Text(), "32767");
  EXPECT_EQ(bar.Value(), 32767);
  box.SetText("");
  EXPECT_EQ(box.Text(), "2");
  EXPECT_EQ(bar.Value(), 2);
}

TEST_F(OptionsChecks, StoredNumbersShowCorrected) {
  Tollerwick_Sub::txtUpdateInterval = "5";
  Tollerwick_Sub::txtAlarmWait = "40000";
  EXPECT_EQ(Dialog().txtUpdateInterval.Text(), "10");
  EXPECT_EQ(Dialog().VScroll1.Value(), 10);
  EXPECT_EQ(Dialog().txtAlarmWait.Text(), "32767");
  EXPECT_EQ(Dialog().VScroll2.Value(), 32767);
}

TEST_F(OptionsChecks, TheScrollBarsWriteTheirBoxes) {
  Dialog().txtUpdateInterval.SetText("15");
  Click(Dialog().VScroll1, QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Dialog().txtUpdateInterval.Text(), "16");
  Click(Dialog().VScroll1, QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(Dialog().txtUpdateInterval.Text(), "116");
  Click(Dialog().VScroll1, QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(Dialog().txtUpdateInterval.Text(), "115");

  // at the bottom of the range the bar stays, and so does the box
  Dialog().txtUpdateInterval.SetText("10");
  Click(Dialog().VScroll1, QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(Dialog().VScroll1.Value(), 10);
  EXPECT_EQ(Dialog().txtUpdateInterval.Text(), "10");
  EXPECT_EQ(ErrorOf([&] { Dialog().VScroll1.SetValue(9); }), 380);

  Dialog().VScroll2.SetValue(48);
  EXPECT_EQ(Dialog().txtAlarmWait.Text(), "48");
  Click(Dialog().VScroll2, QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Dialog().txtAlarmWait.Text(), "49");
}

TEST_F(OptionsChecks, ACharacterOfAnyScriptTypedAnywhereInATimeBoxLeavesATime) {
  const QString typed[] = {QString::fromUtf8("\xC3\xA4"), QString::fromUtf8("\xF0\x9F\x98\x80"),
                           QString::fromUtf8("a\xCC\x88"), QString::fromUtf8("\xD7\xA9")};  // ä 😀 ä ש
  for (const QString& character : typed) {
    for (int caret = 0; caret <= 5; ++caret) {
      rt::TextBox& box = Dialog().txtStartTime;
      box.SetText("09:30");
      CaretTo(box.Widget(), caret);
      TypeKeys(box.Widget(), character);
      const std::string now = box.Text();
      EXPECT_TRUE(now.size() == 5 && now[2] == ':' && rt::CInt(now.substr(0, 2)) <= 24 && rt::CInt(now.substr(3)) < 60)
          << now << " after typing at " << caret;
      EXPECT_LE(box.SelStart(), 5);
    }
  }
  EXPECT_EQ(ErrorLog().find("of Formular frmOptions"), std::string::npos) << ErrorLog();
  // a stored time that holds such a character shows corrected
  Dialog().Unload();
  Tollerwick_Sub::txtStartTime = "09:3\xC3\xA4";
  Tollerwick_Sub::txtStopTime = "1\xC3\xA4:30";
  EXPECT_EQ(Dialog().txtStartTime.Text(), "09:00");
  EXPECT_EQ(Dialog().txtStopTime.Text(), "00:30");
}

TEST_F(OptionsChecks, ATextThatIsNoNumberIsLoggedAndTheValueInForceStays) {
  Dialog().txtUpdateInterval.SetText("25");
  Retype(Dialog().txtUpdateInterval, "abc");
  EXPECT_EQ(Dialog().txtUpdateInterval.Text(), "abc");
  EXPECT_EQ(Dialog().VScroll1.Value(), 25);
  EXPECT_NE(ErrorLog().find("txtUpdateInterval_Change of Formular frmOptions  0  13"), std::string::npos)
      << ErrorLog();

  Dialog().txtAlarmWait.SetText("7");
  Type(Dialog().txtAlarmWait, 1, "x");
  EXPECT_EQ(Dialog().txtAlarmWait.Text(), "7x");
  EXPECT_EQ(Dialog().VScroll2.Value(), 7);
  EXPECT_NE(ErrorLog().find("txtAlarmWait_Change of Formular frmOptions  0  13"), std::string::npos) << ErrorLog();

  // a time the checks let stand but no clock reads
  Dialog().txtStopTime.SetText("-1:30");
  EXPECT_EQ(Dialog().txtStopTime.Text(), "-1:30");

  // Apply keeps the values in force, and the boxes show them again
  Dialog().cmdApply_Click();
  EXPECT_EQ(Tollerwick_Sub::txtUpdateInterval, "10");
  EXPECT_EQ(Tollerwick_Sub::txtAlarmWait, "12");
  EXPECT_EQ(Tollerwick_Sub::txtStopTime, "16:30");
  EXPECT_EQ(Dialog().txtUpdateInterval.Text(), "10");
  EXPECT_EQ(Dialog().txtAlarmWait.Text(), "12");
  EXPECT_EQ(Dialog().txtStopTime.Text(), "16:30");
  EXPECT_EQ(Setting(UserApp(), "Settings", "txtUpdateInterval"), "10");
  EXPECT_EQ(Setting(UserApp(), "Settings", "txtAlarmWait"), "12");
  // the dialog loads again without a failure
  Dialog().Unload();
  EXPECT_EQ(Dialog().VScroll1.Value(), 10);
  EXPECT_EQ(ErrorLog().find("form_load"), std::string::npos) << ErrorLog();
}
