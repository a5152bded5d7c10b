// How the options dialog stands on the screen: every caption whole, the rows of the "Mail Server" tab in their
// reading order, the Tab key through the fields before the buttons, long values shown from their start and
// the links pointing with a hand.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>

#include "monitor/Tollerwick_Sub.h"
#include "platform/controls/TextExtent.h"
#include "tests/monitor/MonitorSandbox.h"
#include "windows/frmOptions.h"

class OptionsLayout : public OptionsSandbox {
 protected:
  static double Bottom(rt::Control& c) { return c.Top() + c.Height(); }
  static double Right(rt::Control& c) { return c.Left() + c.Width(); }
};

TEST_F(OptionsLayout, NoCaptionIsCut) {
  Dialog().Show();
  std::vector<std::string> cut;
  for (QWidget* w : Dialog().Window()->findChildren<QWidget*>()) {
    if (w->objectName().isEmpty() || w->isHidden()) continue;  // not a control, or not shown
    int needed = 0;
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap() && !label->text().isEmpty())
      needed = label->sizeHint().width();
    else if (qobject_cast<QPushButton*>(w))  // a button's own hint has a minimum width beyond its caption
      needed = w->fontMetrics().horizontalAdvance(static_cast<QPushButton*>(w)->text()) + 4;
    else if (qobject_cast<QAbstractButton*>(w))
      needed = w->sizeHint().width();
    if (needed > w->width()) cut.push_back(w->objectName().toStdString());
  }
  // labels have no window: their container draws their captions
  for (rt::Control* c : Dialog().Controls()) {
    auto* label = dynamic_cast<rt::Label*>(c);
    if (!label || !label->Visible() || label->WordWrap() || label->Caption().empty()) continue;
    const double needed = rt::TextExtent(*label, label->Caption(), 1e6).width;
    if (needed > label->Width()) cut.push_back(label->Name());
  }
  EXPECT_TRUE(cut.empty()) << ::testing::PrintToString(cut);
}

TEST_F(OptionsLayout, TheMailServerTabReadsRowByRow) {
  frmOptions& d = Dialog();
  d.Load();
  // the switch of the gateway comes right after its address, before the PIN row
  EXPECT_GT(d.chkSMS.Top(), d.txtToSMSAddress.Top());
  EXPECT_LT(d.chkSMS.Top(), d.txtToSMSSubject.Top());
  EXPECT_LE(Bottom(d.txtToSMSAddress), d.chkSMS.Top());
  EXPECT_LE(Bottom(d.chkSMS), d.txtToSMSSubject.Top());
  // the wait's label ends before its box, which comes before its scroll bar and unit
  EXPECT_LE(Right(d.Label22), d.txtAlarmWait.Left());
  EXPECT_LE(Right(d.txtAlarmWait), d.VScroll2.Left());
  EXPECT_LE(Right(d.VScroll2), d.Label23.Left());
}

TEST_F(OptionsLayout, TheTabKeyVisitsTheFieldsBeforeTheButtons) {
  Dialog().Show();
  QWidget* window = Dialog().Window();
  std::vector<std::string> order;
  for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
    if (!w->objectName().isEmpty() && (w->focusPolicy() & Qt::TabFocus)) order.push_back(w->objectName().toStdString());
  const auto at = [&](const std::string& name) { return std::find(order.begin(), order.end(), name) - order.begin(); };
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(order.end() - 3, order.end()),
            (std::vector<std::string>{"cmdOK", "cmdCancel", "cmdApply"}));
  for (const char* field : {"txtEmailServer", "txtToEmailAddress1", "chkSMS", "txtAlarmWait", "txtStartTime",
                            "txtPassword2", "txtUserEmail"})
    EXPECT_LT(at(field), at("cmdOK")) << field;
}

TEST_F(OptionsLayout, ALongValueShowsItsStart) {
  Tollerwick_Sub::txtToSMSAddress = "01712345678901234567@sms-gateway.example";
  EXPECT_EQ(Dialog().txtToSMSAddress.Text(), Tollerwick_Sub::txtToSMSAddress);
  EXPECT_EQ(Dialog().txtToSMSAddress.SelStart(), 0);
}

TEST_F(OptionsLayout, TheLinksShowAPointingHand) {
  frmOptions& d = Dialog();
  d.Show();
  // the pointer over a label, shown by the area the label stands on
  auto pointerOver = [](rt::Label& label) {
    QWidget* area = label.FaceContainer();
    const QPoint at = label.FaceRect().center();
    QMouseEvent move(QEvent::MouseMove, at, area->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(area, &move);
    return area->cursor().shape();
  };
  for (rt::Label* link : {&d.Label2, &d.Label13, &d.lblFreeRealTime, &d.Label20, &d.lblEmail})
    EXPECT_EQ(pointerOver(*link), Qt::PointingHandCursor) << link->Name();
  EXPECT_NE(pointerOver(d.Label22), Qt::PointingHandCursor);
}
