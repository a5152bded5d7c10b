#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Events.h"
#include "tests/support/Sandbox.h"

namespace {

// A form that counts what runs on it.
class CountingForm : public rt::Form {
 public:
  CountingForm() : rt::Form("frmCounting") {}
  rt::CheckBox chkBox{*this, "chkBox"};
  rt::TextBox txtBox{*this, "txtBox"};
  rt::ComboBox cmbList{*this, "cmbList", 2};
  rt::Timer tmr{*this, "tmr"};
  int loads = 0, unloads = 0, clicks = 0, changes = 0, comboClicks = 0, ticks = 0;
  int cancelUnload = 0;
  int lastUnloadMode = -1;

 protected:
  void Design() override {
    chkBox.SetValue(1);  // a design value runs no handler
    txtBox.SetText("design");
    tmr.SetInterval(20);
    tmr.SetEnabled(false);
    chkBox.Click = [this] { ++clicks; };
    txtBox.Change = [this] { ++changes; };
    cmbList.Click = [this] { ++comboClicks; };
    tmr.Tick = [this] { ++ticks; };
  }
  void Form_Load() override { ++loads; }
  void Form_QueryUnload(int& Cancel, int UnloadMode) override {
    lastUnloadMode = UnloadMode;
    Cancel = cancelUnload;
  }
  void Form_Unload(int&) override { ++unloads; }
};

// A form that counts its resize handler's runs.
class ResizingForm : public rt::Form {
 public:
  ResizingForm() : rt::Form("frmResizing") {}
  int resizes = 0;

 protected:
  void Design() override { DesignSize(3000, 2000); }
  void Form_Resize() override { ++resizes; }
};

}  // namespace

class Forms : public Sandbox {
 protected:
  void TearDown() override {
    rt::testing::DiscardForms();
    Sandbox::TearDown();
  }
};

TEST_F(Forms, ReadingAControlLoadsItsFormWithoutShowingIt) {
  CountingForm f;
  EXPECT_FALSE(f.IsLoaded());
  EXPECT_EQ(f.chkBox.Value(), 1);
  EXPECT_TRUE(f.IsLoaded());
  EXPECT_EQ(f.loads, 1);
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(f.clicks, 0);
  EXPECT_EQ(f.changes, 0);
  ASSERT_EQ(rt::Forms().size(), 1u);
  EXPECT_EQ(rt::Forms()[0], &f);
}

TEST_F(Forms, SettingAValueRunsItsHandlerOnceAndTheSameValueRunsNothing) {
  CountingForm f;
  f.Load();
  f.chkBox.SetValue(0);
  f.chkBox.SetValue(0);
  EXPECT_EQ(f.clicks, 1);
  f.txtBox.SetText("AAPL");
  f.txtBox.SetText("AAPL");
  EXPECT_EQ(f.changes, 1);
  EXPECT_EQ(f.txtBox.Text(), "AAPL");
  // a text set by the program shows its start
  f.txtBox.SetText("0171234567890@sms-gateway.example");
  EXPECT_EQ(f.txtBox.SelStart(), 0);
}

TEST_F(Forms, AddingToAListSelectsNothingUntilTheProgramDoes) {
  CountingForm f;
  f.Load();
  f.cmbList.AddItem("Yahoo        1", 0);
  f.cmbList.AddItem("FreeRealtime 2", 1);
  EXPECT_EQ(f.cmbList.ListIndex(), -1);
  EXPECT_EQ(f.comboClicks, 0);
  f.cmbList.SetText(f.cmbList.List(0));
  EXPECT_EQ(f.cmbList.ListIndex(), 0);
  EXPECT_EQ(f.comboClicks, 1);
  f.cmbList.SetListIndex(0);
  EXPECT_EQ(f.comboClicks, 1);
  f.cmbList.SetListIndex(1);
  EXPECT_EQ(f.comboClicks, 2);
  EXPECT_EQ(f.cmbList.Text(), "FreeRealtime 2");
}

TEST_F(Forms, UnloadingRunsTheHandlersAndMayBeCancelled) {
  CountingForm f;
  f.Show();
  f.txtBox.SetText("typed");
  f.cmbList.AddItem("item");
  f.cancelUnload = 1;
  EXPECT_FALSE(f.Unload());
  EXPECT_TRUE(f.IsLoaded());
  EXPECT_EQ(f.unloads, 0);
  f.cancelUnload = 0;
  // the window manager's close button takes the same way, marked as coming from the window
  f.Window()->close();
  EXPECT_FALSE(f.IsLoaded());
  EXPECT_EQ(f.unloads, 1);
  EXPECT_EQ(f.lastUnloadMode, rt::unloadFromControlMenu);
  EXPECT_TRUE(rt::Forms().empty());
  // loading again starts from the design values
  f.Load();
  EXPECT_EQ(f.loads, 2);
  EXPECT_EQ(f.txtBox.Text(), "design");
  EXPECT_EQ(f.cmbList.ListCount(), 0);
}

TEST_F(Forms, AModalShowReturnsWhenTheWindowIsHidden) {
  CountingForm f;
  QTimer::singleShot(50, [&] { f.Hide(); });
  f.Show(1);
  EXPECT_FALSE(f.Visible());
  EXPECT_TRUE(f.IsLoaded());
}

// A window shown while a modal one is open (an alarm while the options dialog is open) is kept above the
// modal window, where the user sees it, and takes input; once the modal window closes it is on its own
// again.
TEST_F(Forms, AWindowShownDuringAModalOneIsKeptAboveIt) {
  ResizingForm owner;
  CountingForm modal;
  ResizingForm message;
  owner.Show();
  QWindow* above = nullptr;
  bool onTop = false;
  QTimer::singleShot(0, [&] {
    message.Show(0, &owner);
    above = message.Window()->windowHandle()->transientParent();
    onTop = message.Window()->windowFlags() & Qt::WindowStaysOnTopHint;
    modal.Hide();
  });
  modal.Show(1, &owner);
  EXPECT_EQ(above, modal.Window()->windowHandle());
  EXPECT_TRUE(onTop);
  EXPECT_TRUE(message.Visible());
  EXPECT_EQ(message.Window()->windowHandle()->transientParent(), nullptr);
  EXPECT_FALSE(message.Window()->windowFlags() & Qt::WindowStaysOnTopHint);
  // the modal window's own owner shown meanwhile is left where it is
  QTimer::singleShot(0, [&] {
    owner.Show();
    modal.Hide();
  });
  modal.Show(1, &owner);
  EXPECT_EQ(owner.Window()->windowHandle()->transientParent(), nullptr);
  EXPECT_FALSE(owner.Window()->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(Forms, TimersTickWhileEventsRunAndStopWhenDisabled) {
  CountingForm f;
  f.tmr.SetEnabled(true);
  for (int i = 0; i < 300 && f.ticks < 3; ++i) rt::DoEventsWaiting(10);
  EXPECT_GE(f.ticks, 3);
  f.tmr.SetEnabled(false);
  const int stopped = f.ticks;
  for (int i = 0; i < 10; ++i) rt::DoEventsWaiting(10);
  EXPECT_EQ(f.ticks, stopped);
}

// A cycle lets events run after every step of every row, far more often than anything can arrive: the
// system is asked at most every 0.2 ms, but what the program posted runs at every call.
TEST_F(Forms, LettingEventsRunDeliversWhatWasPostedEveryTimeAndWhatArrivesSoon) {
  struct Receiver : QObject {
    int posted = 0;
    bool event(QEvent* e) override {
      if (e->type() != QEvent::User) return QObject::event(e);
      ++posted;
      return true;
    }
  } receiver;
  for (int i = 1; i <= 3; ++i) {
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    rt::DoEvents();
    EXPECT_EQ(receiver.posted, i);
  }

  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  QSocketNotifier arrived(fds[0], QSocketNotifier::Read);
  int seen = 0;
  QObject::connect(&arrived, &QSocketNotifier::activated, [&] {
    char c;
    if (::read(fds[0], &c, 1) == 1) ++seen;
  });
  rt::DoEvents();
  ASSERT_EQ(::write(fds[1], "x", 1), 1);
  // called without a pause, it still asks the system within the promised time
  const auto start = std::chrono::steady_clock::now();
  while (seen == 0 && std::chrono::steady_clock::now() - start < std::chrono::milliseconds(2)) rt::DoEvents();
  // (a test thread held off the processor through the loop asks at the next call)
  rt::DoEvents();
  EXPECT_EQ(seen, 1);
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST_F(Forms, PositionsAreInTwips) {
  CountingForm f;
  f.Load();
  f.txtBox.Move(1500, 300, 1200, 300);
  EXPECT_DOUBLE_EQ(f.txtBox.Left(), 1500);
  EXPECT_DOUBLE_EQ(f.txtBox.Width(), 1200);
  EXPECT_EQ(f.txtBox.Widget()->x(), rt::ToPixelsX(1500));
}

namespace {

// A window with a fixed frame, sized by its design, with a label.
class FixedForm : public rt::Form {
 public:
  FixedForm() : rt::Form("frmFixed") {}
  rt::Label lbl{*this, "lbl"};
  int changes = 0;

 protected:
  void Design() override {
    DesignSize(3000, 1500);
    SetBorderStyle(1);
    lbl.SetCaption("design");  // runs no handler
    lbl.Change = [this] { ++changes; };
  }
};

}  // namespace

TEST_F(Forms, AFixedFrameIsSizedByTheProgramAndStartsFromTheDesignAtEveryLoad) {
  FixedForm f;
  f.Load();
  EXPECT_NEAR(f.ScaleWidth(), 3000, 15);
  EXPECT_NEAR(f.ScaleHeight(), 1500, 15);
  // the inside has its new size at once, shown or not
  f.SetWidth(f.Width() + 1500);
  f.SetHeight(f.Height() + 750);
  EXPECT_NEAR(f.ScaleWidth(), 4500, 15);
  EXPECT_NEAR(f.ScaleHeight(), 2250, 15);
  f.Show();
  f.SetHeight(f.Height() - 1500);
  EXPECT_NEAR(f.ScaleHeight(), 750, 15);
  f.Unload();
  f.Load();
  EXPECT_NEAR(f.ScaleWidth(), 3000, 15);
  EXPECT_NEAR(f.ScaleHeight(), 1500, 15);
}

TEST_F(Forms, ALabelTellsEveryChangeOfItsCaptionAndNothingElse) {
  FixedForm f;
  EXPECT_EQ(f.lbl.Caption(), "design");
  f.lbl.SetCaption("design");
  EXPECT_EQ(f.changes, 0);
  f.lbl.SetCaption("new");
  f.lbl.SetCaption("new");
  EXPECT_EQ(f.changes, 1);
  f.lbl.SetCaption("");
  EXPECT_EQ(f.changes, 2);
}

TEST_F(Forms, EveryFirstShowAfterALoadRunsTheResizeHandler) {
  ResizingForm f;
  for (int load = 1; load <= 3; ++load) {
    const int before = f.resizes;
    f.Show();  // from the second load on, the window comes back at the size it had
    EXPECT_GT(f.resizes, before) << "load " << load;
    f.Unload();
  }
}

namespace {

// The available area of the screen, where every window must stand.
QRect Area() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Lets events run until `done` or for some seconds at most; gives `done`.
bool EventsRunUntil(const std::function<bool()>& done) {
  const QDeadlineTimer deadline(10000);
  while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
}

// A window designed larger than the screen, with a frame of the given style.
class LargeForm : public rt::Form {
 public:
  explicit LargeForm(int style) : rt::Form("frmLarge"), style_(style) {}

 protected:
  void Design() override {
    DesignSize((Area().width() + 300) * rt::TwipsPerPixelX(), (Area().height() + 200) * rt::TwipsPerPixelY());
    SetBorderStyle(style_);
  }

 private:
  int style_;
};

std::string Describe(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height());
}

}  // namespace

TEST_F(Forms, NoWindowIsLargerThanTheAvailableAreaOfItsScreen) {
  for (int style : {0, 1, 2}) {
    SCOPED_TRACE("border style " + std::to_string(style));
    LargeForm f(style);
    f.Load();
    QWidget* w = f.Window();
    EXPECT_LE(w->width(), Area().width());
    EXPECT_LE(w->height(), Area().height());
    f.Show();
    EXPECT_TRUE(Area().contains(w->frameGeometry())) << Describe(w->frameGeometry()) << " in " << Describe(Area());
    // sized beyond the screen by the program
    f.SetWidth(f.Width() * 3);
    f.SetHeight(f.Height() * 3);
    EXPECT_LE(w->frameGeometry().width(), Area().width());
    EXPECT_LE(w->frameGeometry().height(), Area().height());
    // nor may the window manager make it larger
    EXPECT_LE(w->maximumWidth(), Area().width());
    EXPECT_LE(w->maximumHeight(), Area().height());
    f.Unload();
  }
}

TEST_F(Forms, AWindowIsKeptInsideTheAvailableAreaWhereverTheProgramPutsIt) {
  ResizingForm f;
  QWidget* w = f.Window();
  auto inside = [&] { return Area().contains(w->frameGeometry()); };
  // a place kept from a larger screen: the window comes up as near to it as it can, all of it on this one
  f.Move(rt::ScreenWidth() - 1500, rt::ScreenHeight() + 3000);
  f.Show();
  EXPECT_TRUE(inside()) << Describe(w->frameGeometry()) << " in " << Describe(Area());
  // (within a pixel of the window: on a scaled desktop that is one and a half of the screen's)
  EXPECT_NEAR(w->frameGeometry().right(), Area().right(), 1);
  EXPECT_NEAR(w->frameGeometry().bottom(), Area().bottom(), 1);
  // the window takes what the program gave it, and is fitted, once events run
  auto eventsRan = [] {
    bool ran = false;  // posted after the window's own fitting, so run after it
    QTimer::singleShot(0, [&ran] { ran = true; });
    return EventsRunUntil([&ran] { return ran; });
  };
  // moved partly off the screen while shown, and grown from its top-left corner beyond the screen's edge
  f.Move(-3000, 1500);
  ASSERT_TRUE(eventsRan());
  EXPECT_TRUE(inside()) << Describe(w->frameGeometry());
  EXPECT_NEAR(w->frameGeometry().left(), Area().left(), 1);
  f.Move(rt::ScreenWidth() / 2, rt::ScreenHeight() / 2);
  f.SetWidth(rt::ScreenWidth() * 0.75);
  f.SetHeight(rt::ScreenHeight() * 0.75);
  ASSERT_TRUE(eventsRan());
  EXPECT_TRUE(inside()) << Describe(w->frameGeometry());
  EXPECT_NEAR(w->frameGeometry().width(), rt::ScreenWidth() * 0.75 / rt::TwipsPerPixelX(), 1);
  EXPECT_NEAR(f.Width(), rt::ScreenWidth() * 0.75, rt::TwipsPerPixelX());
  // What a handler does on the way moves nothing: sized wider than the screen, placed, then cut back, the
  // window stays where it was placed.
  f.SetWidth(rt::ScreenWidth() * 3);
  f.Move(rt::ScreenWidth() / 4, 1500);
  f.SetWidth(3000);
  ASSERT_TRUE(eventsRan());
  EXPECT_NEAR(f.Left(), rt::ScreenWidth() / 4, rt::TwipsPerPixelX());
  EXPECT_NEAR(f.Top(), 1500, rt::TwipsPerPixelY());
}

TEST_F(Forms, EveryWindowTellsTheWindowManagerABaseSizeItCanUse) {
  // The toolkit sends the base size scaled with the desktop (by 1.5 at a font DPI of 144): none at all,
  // -1 by -1, goes out as -2 by -2, which a window manager may apply as it is.
  auto base = [](QWidget* w) { return w->windowHandle() ? w->windowHandle()->baseSize() : QSize(-1, -1); };
  LargeForm frameless(0), fixed(1);
  ResizingForm sizable;
  for (rt::Form* f :
       {static_cast<rt::Form*>(&frameless), static_cast<rt::Form*>(&fixed), static_cast<rt::Form*>(&sizable)}) {
    f->Move(1500, 1500);
    f->Show();
    const QSize size = base(f->Window());
    EXPECT_TRUE(size.width() >= 0 && size.height() >= 0)
        << f->Name() << ": " << size.width() << " by " << size.height();
    f->Unload();
  }
  // a window of the program that is no form, as a message box is
  QWidget box;
  box.resize(200, 100);
  box.move(100, 100);
  box.show();
  const QSize size = base(&box);
  EXPECT_TRUE(size.width() >= 0 && size.height() >= 0) << size.width() << " by " << size.height();
}

TEST_F(Forms, ControlsHaveTheDesignFontAndColoursWhateverTheDesktopGivesThem) {
  const QFont desktopFont = QApplication::font();
  const QPalette desktopPalette = QApplication::palette();
  CountingForm before;
  before.Load();
  // a theme's font and dark colours, for every widget and for some kinds of them
  QFont themeFont(QStringLiteral("DejaVu Serif"), 14);
  themeFont.setItalic(true);
  QPalette dark(QColor(0xfc, 0xfc, 0xfc), QColor(0x31, 0x36, 0x3b));
  QApplication::setFont(themeFont);
  QApplication::setFont(themeFont, "QCheckBox");
  QApplication::setPalette(dark);
  QApplication::setPalette(dark, "QLineEdit");
  CountingForm after;
  FixedForm labelled;
  for (CountingForm* f : {&before, &after}) {
    const QFont font = f->chkBox.Widget()->font();
    EXPECT_EQ(font.family(), rt::DesignFont().family());
    EXPECT_EQ(font.pointSizeF(), rt::DesignFont().pointSizeF());
    EXPECT_FALSE(font.italic());
    EXPECT_EQ(f->chkBox.FontSize(), 8);
    const QPalette colours = f->txtBox.Widget()->palette();
    EXPECT_EQ(colours.color(QPalette::Base), rt::DesignPalette().color(QPalette::Base));
    EXPECT_EQ(colours.color(QPalette::Text), rt::DesignPalette().color(QPalette::Text));
    // the desktop's colours by index are the design's
    f->chkBox.SetForeColor(0x80000012L);
    EXPECT_EQ(f->chkBox.Widget()->palette().color(QPalette::WindowText),
              rt::DesignPalette().color(QPalette::ButtonText));
  }
  EXPECT_EQ(labelled.lbl.FontName(), rt::DesignFont().family().toStdString());
  EXPECT_EQ(labelled.lbl.FontSize(), 8);
  // a control's own font stays its own
  after.chkBox.SetFontSize(12);
  EXPECT_EQ(after.chkBox.Widget()->font().pointSizeF(), 12);
  EXPECT_EQ(after.chkBox.Widget()->font().family(), rt::DesignFont().family());
  QApplication::setFont(desktopFont, "QCheckBox");
  QApplication::setFont(desktopFont);
  QApplication::setPalette(desktopPalette, "QLineEdit");
  QApplication::setPalette(desktopPalette);
}
