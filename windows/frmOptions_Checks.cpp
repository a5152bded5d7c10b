// The options dialog's field checks: the two time boxes keep the form hh:mm (hours up to 24, minutes up to
// 59), the two number boxes keep their range and follow their scroll bars, and the other way round. Every
// correction sets the box's text, which runs the same check again at once, nested, on the new text; so each
// step reads the text anew.

#include <algorithm>
#include <string>

#include "library/ErrorTrap.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Strings.h"
#include "windows/frmOptions.h"

namespace {

Trap Here(const char* handler) { return HandlerTrap(std::string(handler) + " of Formular frmOptions"); }

// Brings a time box to hh:mm, one correction at a time; only the first ":" counts.
void CheckTime(rt::TextBox& box) {
  const int caret = rt::CInt(box.SelStart());
  if (rt::InStr(box.Text(), ":") == 0) box.SetText("00:00");
  if (rt::InStr(box.Text(), ":") == 1) box.SetText("00" + box.Text());
  if (rt::InStr(box.Text(), ":") == 2) box.SetText("0" + box.Text());
  // a third hour digit: the minutes are dropped
  if (rt::InStr(box.Text(), ":") > 3) box.SetText(rt::Left(box.Text(), 2) + ":00");
  if (!rt::IsNumeric(rt::Left(box.Text(), 2))) box.SetText("00:" + rt::Mid(box.Text(), 4, 2));
  if (rt::CInt(rt::Left(box.Text(), 2)) >= 25) box.SetText("24:" + rt::Mid(box.Text(), 4, 2));
  if (rt::Len(box.Text()) == 3) box.SetText(box.Text() + "00");
  if (rt::Len(box.Text()) == 4) box.SetText(box.Text() + "0");
  if (rt::Len(box.Text()) >= 6) box.SetText(rt::Left(box.Text(), 5));
  if (!rt::IsNumeric(rt::Right(box.Text(), 2))) box.SetText(rt::Left(box.Text(), 2) + ":00");
  if (rt::CInt(rt::Right(box.Text(), 2)) >= 60) box.SetText(rt::Left(box.Text(), 2) + ":59");
  // every write put the caret at the end: back to where the edit left it
  box.SetSelStart(std::min<long>(caret, rt::Len(box.Text())));
  rt::DoEvents();
}

// Keeps a number box between `minimum` and 32767 and sets its scroll bar to it. A text that is not a whole
// number fails the conversion and stays as it is.
void CheckNumber(rt::TextBox& box, long minimum, rt::ScrollBar& mirror) {
  if (box.Text().empty()) box.SetText(std::to_string(minimum));
  if (rt::CLng(box.Text()) < minimum) box.SetText(std::to_string(minimum));
  if (rt::CLng(box.Text()) > 32767) box.SetText("32767");
  mirror.SetValue(rt::CInt(rt::CLng(box.Text())));
  rt::DoEvents();
}

void Mirror(rt::ScrollBar& bar, rt::TextBox& box) {
  box.SetText(std::to_string(bar.Value()));
  rt::DoEvents();
}

}  // namespace

void frmOptions::DesignChecks() {
  txtStartTime.Change = [this] { txtStartTime_Change(); };
  txtStopTime.Change = [this] { txtStopTime_Change(); };
  txtUpdateInterval.Change = [this] { txtUpdateInterval_Change(); };
  txtAlarmWait.Change = [this] { txtAlarmWait_Change(); };
  VScroll1.Change = [this] { VScroll1_Change(); };
  VScroll2.Change = [this] { VScroll2_Change(); };
}

void frmOptions::txtStartTime_Change() {
  Here("txtStartTime_Change")([&] { CheckTime(txtStartTime); });
}

void frmOptions::txtStopTime_Change() {
  Here("txtStopTime_Change")([&] { CheckTime(txtStopTime); });
}

void frmOptions::txtUpdateInterval_Change() {
  Here("txtUpdateInterval_Change")([&] { CheckNumber(txtUpdateInterval, 10, VScroll1); });
}

void frmOptions::txtAlarmWait_Change() {
  Here("txtAlarmWait_Change")([&] { CheckNumber(txtAlarmWait, 2, VScroll2); });
}

void frmOptions::VScroll1_Change() {
  Here("VScroll1_change")([&] { Mirror(VScroll1, txtUpdateInterval); });
}

void frmOptions::VScroll2_Change() {
  Here("VScroll2_change")([&] { Mirror(VScroll2, txtAlarmWait); });
}
