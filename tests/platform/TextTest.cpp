#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <random>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Strings.h"
#include "tests/support/Input.h"
#include "tests/support/Sandbox.h"

// The string functions, the text boxes and the windows count and show characters, not bytes.
class Text : public Sandbox {
 protected:
  void TearDown() override {
    rt::testing::DiscardForms();
    Sandbox::TearDown();
  }
};

TEST_F(Text, TheStringFunctionsCountCharacters) {
  const std::string mixed = "\xC3\xA4\xE2\x82\xAC\xF0\x9D\x84\x9E:x";  // ä € 𝄞 : x
  EXPECT_EQ(rt::Len(mixed), 5);
  EXPECT_EQ(rt::Left(mixed, 1), "\xC3\xA4");
  EXPECT_EQ(rt::Mid(mixed, 2, 2), "\xE2\x82\xAC\xF0\x9D\x84\x9E");
  EXPECT_EQ(rt::Mid(mixed, 3), "\xF0\x9D\x84\x9E:x");
  EXPECT_EQ(rt::Right(mixed, 3), "\xF0\x9D\x84\x9E:x");
  EXPECT_EQ(rt::InStr(mixed, ":"), 4);
  EXPECT_EQ(rt::InStr(2, mixed, "\xF0\x9D\x84\x9E"), 3);
  EXPECT_EQ(rt::InStr(5, mixed, ":"), 0);
  EXPECT_EQ(rt::Mid(mixed, 9), "");
  // a combining mark is a character of its own
  EXPECT_EQ(rt::Len("a\xCC\x88"), 2);
  // in a text that is no UTF-8 every stray byte is a character, and no match starts inside a character
  EXPECT_EQ(rt::Len("M\xFCller"), 6);
  EXPECT_EQ(rt::Mid("M\xFCller", 2, 1), "\xFC");
  EXPECT_EQ(rt::InStr("\xC3\xA4", "\xA4"), 0);
  EXPECT_EQ(rt::InStr("\xC3\xA4\xA4", "\xA4"), 2);
}

TEST_F(Text, CuttingATextAnywhereKeepsEveryByte) {
  // random texts of whole characters and stray bytes: a text cut at any character comes back whole, and
  // every piece of a valid text is valid
  const std::vector<std::string> pieces = {"a", ":", "9", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                                           "\xCC\x88", "\xD7\xA9", "\xFC", "\x80", "\xE2\x82", "\xF0\x9F"};
  const size_t firstStray = 8;
  const auto valid = [](const std::string& t) { return QString::fromUtf8(t).toUtf8().toStdString() == t; };
  std::mt19937 random(7);
  for (int round = 0; round < 500; ++round) {
    std::string s;
    bool stray = false;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
      const size_t piece = random() % pieces.size();
      stray = stray || piece >= firstStray;
      s += pieces[piece];
    }
    const long length = rt::Len(s);
    for (long k = 0; k <= length + 1; ++k) {
      const std::string left = rt::Left(s, k), rest = rt::Mid(s, k + 1);
      ASSERT_EQ(left + rest, s) << k;
      ASSERT_EQ(left + rt::Right(s, std::max(0L, length - k)), s) << k;
      ASSERT_EQ(rt::Len(left), std::min(k, length));
      if (!stray) {
        ASSERT_TRUE(valid(left) && valid(rest)) << s << " cut at " << k;
      }
    }
  }
}

TEST_F(Text, ATextBoxCountsItsCaretInCharactersAsTheStringFunctionsDo) {
  TestForm form;
  rt::TextBox box{form, "txtBox"};
  form.Load();
  auto* edit = static_cast<QLineEdit*>(box.Widget());
  TypeKeys(edit, QString::fromUtf8("\xC3\xA4\xF0\x9D\x84\x9E" "b"));  // ä 𝄞 b
  EXPECT_EQ(box.Text(), "\xC3\xA4\xF0\x9D\x84\x9E" "b");
  EXPECT_EQ(box.SelStart(), 3);
  box.SetSelStart(2);
  TypeKeys(edit, "c");
  EXPECT_EQ(box.Text(), "\xC3\xA4\xF0\x9D\x84\x9E" "cb");
  EXPECT_EQ(box.SelStart(), 3);
  box.SetSelStart(1);
  box.SetSelLength(1);
  EXPECT_EQ(box.SelLength(), 1);
  TypeKeys(edit, "x");  // replaces the selected 𝄞
  EXPECT_EQ(box.Text(), "\xC3\xA4xcb");
}

TEST_F(Text, ABoxThatIsGivenWhatItAlreadyShowsTellsNoChange) {
  TestForm form;
  rt::TextBox box{form, "txtBox"};
  form.Load();
  // a handler that writes its box again, with a text the box cannot show as it is (a character cut in two)
  int changes = 0;
  box.Change = [&] {
    if (++changes > 50) return;
    box.SetText("09:3\xC3");
  };
  TypeKeys(box.Widget(), "1");
  EXPECT_LE(changes, 3);
  changes = 0;
  box.SetMaxLength(3);
  box.Change = [&] {
    if (++changes > 50) return;
    box.SetText("abcdef");  // cut to "abc" by the box
  };
  box.SetText("xyzuvw");
  EXPECT_EQ(box.Text(), "abc");
  EXPECT_LE(changes, 3);
}

TEST_F(Text, BytesThatAreNoUtf8ShowAsWindows1252) {
  TestForm form;
  rt::TextBox box{form, "txtBox"};
  rt::Label label{form, "lblLabel"};
  form.Load();
  box.SetText("M\xFCller \x80 5");
  EXPECT_EQ(static_cast<QLineEdit*>(box.Widget())->text(), QString::fromUtf8("Müller € 5"));
  label.SetCaption("\x93Zitat\x94");
  EXPECT_EQ(label.Caption(), "\x93Zitat\x94");  // the program reads back what it set
  box.SetText("\xE2\x82\xAC ok");              // valid UTF-8 stays UTF-8
  EXPECT_EQ(static_cast<QLineEdit*>(box.Widget())->text(), QString::fromUtf8("€ ok"));
}

TEST_F(Text, AMessageBoxShowsItsTextAsItStands) {
  rt::testing::MessageBoxes().active = false;
  QString shown;
  Qt::TextFormat format = Qt::AutoText;
  // the box is read and closed as soon as it is up
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    format = box->textFormat();
    shown = box->text();
    box->accept();
  });
  look.start(10);
  rt::MsgBox("<b>550</b> <i>refused</i> M\xFCller", rt::mbOkOnly, "Title");
  rt::testing::MessageBoxes().active = true;
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(shown.toStdString(), "<b>550</b> <i>refused</i> M\xC3\xBCller");
}
