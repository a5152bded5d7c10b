// How the forms stand on the screen. Every form keeps its captions whole and its texts readable whatever font
// and colours the desktop has; the options dialog's rows read in order, the Tab key runs through its fields
// before its buttons, long values show from their start and its links point with a hand.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QWidget>
#include <cmath>
#include <functional>
#include <iomanip>
#include <map>
#include <sstream>

#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmMessage.h"
#include "monitor/frmScrollTicker.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/TextExtent.h"
#include "platform/runtime/Convert.h"
#include "tests/monitor/MonitorSandbox.h"
#include "windows/frmAbout.h"
#include "windows/frmOptions.h"
#include "windows/frmSplash.h"

namespace {

// The controls of a form whose caption is wider than their box in the font they draw with, and the form's
// own caption when its title bar is too narrow for it.
std::vector<std::string> CutCaptions(rt::Form& form) {
  std::vector<std::string> cut;
  for (QWidget* w : form.Window()->findChildren<QWidget*>()) {
    if (w->objectName().isEmpty() || w->isHidden()) continue;  // not a control, or not shown
    int needed = 0;
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap() && !label->text().isEmpty())
      needed = label->sizeHint().width();
    else if (auto* button =
                 qobject_cast<QPushButton*>(w))  // a button's own hint has a minimum width beyond its caption
      needed = w->fontMetrics().horizontalAdvance(button->text()) + 4;
    else if (qobject_cast<QAbstractButton*>(w))
      needed = w->sizeHint().width();
    if (needed > w->width()) cut.push_back(w->objectName().toStdString());
  }
  // labels have no window: their container draws their captions
  for (rt::Control* c : form.Controls()) {
    auto* label = dynamic_cast<rt::Label*>(c);
    if (!label || !label->Visible() || label->WordWrap() || label->Caption().empty()) continue;
    if (rt::TextExtent(*label, label->Caption(), 1e6).width > label->Width()) cut.push_back(label->Name());
  }
  // the cells of a grid, in columns shown
  for (rt::Control* c : form.Controls())
    if (auto* grid = dynamic_cast<rt::FlexGrid*>(c))
      for (long row = 0; row < grid->Rows(); ++row)
        for (long col = 0; col < grid->Cols(); ++col)
          if (grid->ColWidth(col) > 0 && grid->ColWidthFor(grid->TextMatrix(row, col)) > grid->ColWidth(col))
            cut.push_back(grid->Name() + " " + grid->TextMatrix(row, col));
  // the title bar's
  if (!(form.Window()->windowFlags() & Qt::FramelessWindowHint) && form.CaptionWidth() > form.Width())
    cut.push_back(form.Name() + " caption");
  return cut;
}

// Contrast of two colours by their relative luminance: 1 (the same) to 21 (black on white).
double Contrast(QRgb a, QRgb b) {
  const auto luminance = [](QRgb c) {
    const auto channel = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How a text stands out where it is drawn: the same place drawn with and without the text; the pixels that
// differ are the text's, and the strongest contrast among them (a stroke's core) is the text's own colour
// against what lies under it. 1 when the text leaves no mark.
double DrawnContrast(const std::function<QImage()>& draw, const std::function<void(bool)>& showText) {
  const QImage with = draw().convertToFormat(QImage::Format_RGB32);
  showText(false);
  const QImage without = draw().convertToFormat(QImage::Format_RGB32);
  showText(true);
  double best = 1;
  for (int y = 0; y < std::min(with.height(), without.height()); ++y)
    for (int x = 0; x < std::min(with.width(), without.width()); ++x)
      if (with.pixel(x, y) != without.pixel(x, y))
        best = std::max(best, Contrast(with.pixel(x, y), without.pixel(x, y)));
  return best;
}

// The least contrast a text needs. The about window's buttons are pictures with a light caption on them,
// both the design's own whatever the desktop's colours, at about 3.9 to 1.
double NeededContrast(const std::string& name) {
  return name == "lblOK" || name == "lblSysInfo" ? 3.5 : 4.5;
}

// The texts of a form's enabled controls, by name, that stand out from their background by less than they
// need, as drawn. A box without text gets one for the look. A caption drawn on a copy of itself a little
// apart (a title on its shadow) is read by the copy that stands out.
std::vector<std::string> UnreadableTexts(rt::Form& form) {
  std::map<std::string, double> contrasts;
  const auto check = [&](const std::string& name, const std::function<QImage()>& draw,
                         const std::function<void(bool)>& showText) {
    contrasts[name] = DrawnContrast(draw, showText);
  };
  const QString sample = QStringLiteral("Sample 123");
  // a text set and taken away again behind the control's back: no handler runs
  const auto toggle = [&](QWidget* w, QString text, const std::function<void(const QString&)>& set) {
    if (text.isEmpty()) text = sample;
    set(text);
    return [w, text, set](bool shown) {
      const QSignalBlocker quiet(w);
      set(shown ? text : QString());
    };
  };
  // a plain or rich text box: its text, drawn in its viewport
  const auto checkEditor = [&](const std::string& name, auto* editor) {
    const QString text = editor->toPlainText();
    check(
        name, [editor] { return editor->viewport()->grab().toImage(); },
        toggle(editor, text, [editor](const QString& t) { editor->setPlainText(t); }));
    editor->setPlainText(text);
  };
  for (QWidget* w : form.Window()->findChildren<QWidget*>()) {
    if (!w->isVisible() || !w->isEnabled() || w->window() != form.Window()) continue;
    const std::string name = w->objectName().isEmpty() && w->parentWidget()
                                 ? w->parentWidget()->objectName().toStdString()
                                 : w->objectName().toStdString();
    const auto grab = [w] { return w->grab().toImage(); };
    const QSignalBlocker quiet(w);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      const QString text = b->text();
      check(name, grab, toggle(w, text, [b](const QString& t) { b->setText(t); }));
      b->setText(text);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
      const QString text = e->text();
      check(name, grab, toggle(w, text, [e](const QString& t) { e->setText(t); }));
      e->setText(text);
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
      checkEditor(name, p);
    } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
      checkEditor(name, t);
    } else if (auto* l = qobject_cast<QLabel*>(w); l && !l->movie() && l->pixmap().isNull()) {
      const QString text = l->text();
      check(name, grab, toggle(w, text, [l](const QString& s) { l->setText(s); }));
      l->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(w); g && !g->title().isEmpty()) {
      const QString text = g->title();
      check(name, grab, [g, text](bool shown) { g->setTitle(shown ? text : QString()); });
    } else if (auto* c = qobject_cast<QComboBox*>(w); c && !c->isEditable() && c->currentIndex() >= 0) {
      const int i = c->currentIndex();
      const QString text = c->itemText(i);
      check(name, grab, [c, i, text](bool shown) { c->setItemText(i, shown ? text : QString()); });
    }
  }
  // labels have no window: their container draws them
  for (rt::Control* control : form.Controls()) {
    auto* label = dynamic_cast<rt::Label*>(control);
    if (!label || !label->FaceShown() || !label->FaceTakesMouse() || !label->FaceContainer()->isVisible()) continue;
    const std::string caption = label->Caption();
    const rt::Handler change = std::exchange(label->Change, nullptr);
    label->SetCaption(caption.empty() ? sample.toStdString() : caption);
    check(
        label->Name(), [label] { return label->FaceContainer()->grab(label->FaceRect()).toImage(); },
        [&](bool shown) { label->SetCaption(shown ? (caption.empty() ? sample.toStdString() : caption) : ""); });
    label->SetCaption(caption);
    label->Change = change;
  }
  for (rt::Control* control : form.Controls()) {
    auto* label = dynamic_cast<rt::Label*>(control);
    if (!label || !contrasts.count(label->Name())) continue;
    for (rt::Control* other : form.Controls()) {
      auto* copy = dynamic_cast<rt::Label*>(other);
      if (copy && copy != label && contrasts.count(copy->Name()) && copy->FaceContainer() == label->FaceContainer() &&
          copy->Caption() == label->Caption() && copy->FaceRect().intersects(label->FaceRect()))
        contrasts[label->Name()] = std::max(contrasts[label->Name()], contrasts[copy->Name()]);
    }
  }
  std::vector<std::string> unreadable;
  for (const auto& [name, contrast] : contrasts) {
    if (contrast >= NeededContrast(name)) continue;
    std::ostringstream out;
    out << name << " " << std::fixed << std::setprecision(2) << contrast;
    unreadable.push_back(out.str());
  }
  return unreadable;
}

// The desktop's font and colours while a test runs, as a desktop theme gives them to the program.
class DesktopLook {
 public:
  DesktopLook() : font_(QApplication::font()), palette_(QApplication::palette()) {}
  ~DesktopLook() {
    QApplication::setFont(font_);
    QApplication::setPalette(palette_);
  }
  // A theme's own font: another family, larger than the design's.
  static void LargeFont() { QApplication::setFont(QFont(QStringLiteral("DejaVu Serif"), 13)); }
  // A dark scheme: light text on dark grey, links a light blue.
  static void DarkPalette() {
    QPalette dark(QColor(0xfc, 0xfc, 0xfc), QColor(0x31, 0x36, 0x3b), QColor(0x4c, 0x54, 0x5c),
                  QColor(0x18, 0x1b, 0x1d), QColor(0x25, 0x29, 0x2c), QColor(0xfc, 0xfc, 0xfc),
                  QColor(0xff, 0xff, 0xff), QColor(0x1b, 0x1e, 0x20), QColor(0x2a, 0x2e, 0x32));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    dark.setColor(QPalette::HighlightedText, QColor(0xfc, 0xfc, 0xfc));
    dark.setColor(QPalette::Link, QColor(0x1d, 0x99, 0xf3));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6e, 0x71, 0x75));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x6e, 0x71, 0x75));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x6e, 0x71, 0x75));
    QApplication::setPalette(dark);
  }

 private:
  QFont font_;
  QPalette palette_;
};

}  // namespace

std::string Quoted(const std::string& s) {
  return "\"" + s + "\"";
}
// an alert at the widest time of day of the regional form
const rt::DateTime kLastAlert{rt::DateSerial(2026, 12, 6).serial + rt::TimeSerial(22, 58, 58).serial};

// The program started with every form on the screen: the main window, the strip, an alarm's message, the
// about window, the splash and the options dialog.
class FormsLook : public MonitorSandbox {
 protected:
  void ShowEveryForm() {
    WriteFile(home + "/download/TickerSettings.vyk", "\"MSFT\",\"250\",\"100\",\"1\"," +
                                                         Quoted(rt::FormatGeneralDate(kLastAlert)) +
                                                         "\r\n\"IBM\",\"\",\"\",\"2\",\"00:00:00\"\r\n");
    ASSERT_TRUE(RunMain());
    frmMain_Tollerwick& main = *Tollerwick_Main::MainForm;
    main.chkScrollingTicker.SetValue(1);
    frmMessage& message = rt::Default<frmMessage>();
    message.SetCaption("MSFT Alarm");
    message.lblMessage.SetCaption("MSFT is over High Limit !");
    message.Show(0, &main);
    rt::Default<frmAbout>().Show();
    Tollerwick_Main::SplashRunning = true;
    rt::Default<frmSplash>().Show();
    rt::Default<frmOptions>().Show();
  }
  static std::vector<rt::Form*> EveryForm() {
    return {Tollerwick_Main::MainForm, &rt::Default<frmScrollTicker>(), &rt::Default<frmMessage>(),
            &rt::Default<frmAbout>(),  &rt::Default<frmSplash>(),       &rt::Default<frmOptions>()};
  }
  // Every tab of the options dialog in turn.
  template <class Check>
  static void ForEveryPage(rt::Form& form, Check check) {
    if (&form != &rt::Default<frmOptions>()) return check();
    frmOptions& options = rt::Default<frmOptions>();
    for (int tab = 0; tab < options.SSTab1.Tabs(); ++tab) {
      options.SSTab1.SetTab(tab);
      check();
    }
  }
  static void ExpectNoCaptionCut() {
    for (rt::Form* form : EveryForm()) {
      ASSERT_TRUE(form->Visible()) << form->Name();
      const std::vector<std::string> cut = CutCaptions(*form);
      EXPECT_TRUE(cut.empty()) << form->Name() << ": " << ::testing::PrintToString(cut);
    }
  }
  static void ExpectEveryTextReadable() {
    for (rt::Form* form : EveryForm()) {
      ASSERT_TRUE(form->Visible()) << form->Name();
      ForEveryPage(*form, [&] {
        const std::vector<std::string> unreadable = UnreadableTexts(*form);
        EXPECT_TRUE(unreadable.empty()) << form->Name() << ": " << ::testing::PrintToString(unreadable);
      });
    }
  }
  DesktopLook desktop;
};

TEST_F(FormsLook, NoCaptionIsCut) {
  ShowEveryForm();
  ExpectNoCaptionCut();
}

TEST_F(FormsLook, NoCaptionIsCutWhenTheDesktopsFontIsLarger) {
  DesktopLook::LargeFont();
  ShowEveryForm();
  ExpectNoCaptionCut();
}

TEST_F(FormsLook, EveryTextIsReadable) {
  ShowEveryForm();
  ExpectEveryTextReadable();
}

TEST_F(FormsLook, EveryTextIsReadableUnderADarkPalette) {
  DesktopLook::DarkPalette();
  ShowEveryForm();
  ExpectEveryTextReadable();
}

class OptionsLayout : public OptionsSandbox {
 protected:
  static double Bottom(rt::Control& c) { return c.Top() + c.Height(); }
  static double Right(rt::Control& c) { return c.Left() + c.Width(); }
};

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
