// Labels and image controls have no window of their own: the container they stand on draws them in its
// own paint event and hands them the mouse by hit test.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QMovie>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QToolTip>
#include <QWidget>
#include <filesystem>

#include "platform/controls/Controls.h"
#include "platform/controls/Form.h"
#include "platform/runtime/Events.h"
#include "tests/support/Sandbox.h"

namespace {

template <class T>
concept HasWindowHandle = requires(T& c) {
  c.hWnd();
};
static_assert(!HasWindowHandle<rt::Label> && !HasWindowHandle<rt::PictureBox>);
static_assert(HasWindowHandle<rt::CommandButton>);

constexpr long kRed = 0x0000FF, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

// Two overlapping labels (the later one on top) and a picture beside them, on a white form; every mouse
// event that reaches a control or the form is written down.
class LayeredForm : public rt::Form {
 public:
  LayeredForm() : rt::Form("frmLayered") {}
  ~LayeredForm() override { Unload(); }
  rt::Label lblBack{*this, "lblBack"};
  rt::Label lblFront{*this, "lblFront"};
  rt::PictureBox imgSide{*this, "imgSide"};
  std::vector<std::string> events;

 protected:
  void Design() override {
    DesignSize(4800, 3600);
    SetBackColor(kWhite);
    lblBack.Move(0, 0, 1500, 1500);  // pixels 0 .. 100 at 15 twips a pixel
    lblBack.SetBackColor(kRed);
    lblFront.Move(750, 750, 1500, 1500);  // pixels 50 .. 150
    lblFront.SetBackColor(kBlue);
    imgSide.Move(3000, 0, 750, 750);
    Record(lblBack, "back");
    Record(lblFront, "front");
    imgSide.Click = [this] { events.push_back("side:click"); };
  }
  void Form_MouseDown(int Button) override { events.push_back("form:down:" + std::to_string(Button)); }

 private:
  void Record(rt::Label& l, const std::string& name) {
    l.Click = [this, name] { events.push_back(name + ":click"); };
    l.DblClick = [this, name] { events.push_back(name + ":dblclick"); };
    l.MouseDown = [this, name](int b) { events.push_back(name + ":down:" + std::to_string(b)); };
    l.MouseUp = [this, name](int b) { events.push_back(name + ":up:" + std::to_string(b)); };
    l.MouseMove = [this, name](int b) { events.push_back(name + ":move:" + std::to_string(b)); };
  }
};

// An animated picture, which is no windowless control: it has a label widget of its own.
class AnimatedForm : public rt::Form {
 public:
  AnimatedForm() : rt::Form("frmAnimated") {}
  ~AnimatedForm() override { Unload(); }
  rt::AnimatedPicture aniLoading{*this, "aniLoading"};
  QMovie* Movie() { return static_cast<QLabel*>(aniLoading.Widget())->movie(); }

 protected:
  void Design() override {
    DesignSize(1500, 1500);
    aniLoading.Move(0, 0, 480, 480);
    aniLoading.LoadAnimation(TOLLERWICK_SOURCE_DIR "/resources/Common/bitmap/loading.gif");
  }
};

// Collects the areas that a widget paints.
class PaintSpy : public QObject {
 public:
  explicit PaintSpy(QWidget* w) : widget_(w) { w->installEventFilter(this); }
  QRegion painted;
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched == widget_ && e->type() == QEvent::Paint) {
      painted += static_cast<QPaintEvent*>(e)->region();
      ++paints;
    }
    return false;
  }

 private:
  QWidget* widget_;
};

}  // namespace

class Windowless : public Sandbox {
 protected:
  void TearDown() override {
    rt::testing::DiscardForms();
    Sandbox::TearDown();
  }
  QWidget* Area() { return f.Container(); }
  QRgb Pixel(int x, int y) { return Area()->grab().toImage().pixel(x, y); }
  void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, at, Area()->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(Area(), &e);
  }
  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    Send(QEvent::MouseButtonPress, at, button, button);
    Send(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
  }
  void MoveMouse(QPoint at, Qt::MouseButtons held = Qt::NoButton) { Send(QEvent::MouseMove, at, Qt::NoButton, held); }
  // Shows the form and waits for its first painting; from then on the spy sees only what is drawn again.
  void ShowAndSettle() {
    f.Show();
    for (int i = 0; i < 500 && spy.paints == 0; ++i) rt::DoEventsWaiting(10);
    ASSERT_GT(spy.paints, 0);
    spy.painted = QRegion();
    spy.paints = 0;
  }
  void WaitForPaint() {
    for (int i = 0; i < 500 && spy.paints == 0; ++i) rt::DoEventsWaiting(10);
  }

  LayeredForm f;
  PaintSpy spy{f.Container()};
};

TEST_F(Windowless, TheyAreDrawnByTheirContainerInZOrderAndMakeNoWidgets) {
  f.Load();
  EXPECT_EQ(qRed(Pixel(25, 25)), 255);   // the back label alone
  EXPECT_EQ(qBlue(Pixel(75, 75)), 255);  // where they overlap the later one lies on top
  EXPECT_EQ(qRed(Pixel(75, 75)), 0);
  EXPECT_EQ(qBlue(Pixel(125, 125)), 255);
  EXPECT_EQ(Pixel(175, 175), qRgb(255, 255, 255));

  // thousands of them cost no widget each, and none has a window handle
  const auto widgets = Area()->findChildren<QWidget*>().size();
  for (int i = 1; i <= 200; ++i) {
    f.AddControl<rt::Label>("lbl" + std::to_string(i));
    f.AddControl<rt::PictureBox>("img" + std::to_string(i));
  }
  EXPECT_EQ(Area()->findChildren<QWidget*>().size(), widgets);
  EXPECT_EQ(static_cast<rt::Control&>(f.lblFront).hWnd(), 0);
  EXPECT_EQ(f.lblFront.Widget(), nullptr);
}

TEST_F(Windowless, TheMouseGoesToTheTopmostControlUnderIt) {
  f.Load();
  Click({75, 75});
  Click({25, 25}, Qt::RightButton);
  Click({175, 175});
  EXPECT_EQ(f.events, (std::vector<std::string>{"front:down:1", "front:up:1", "front:click", "back:down:2", "back:up:2",
                                                "form:down:1"}));

  f.events.clear();
  Send(QEvent::MouseButtonPress, {75, 75}, Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, {75, 75}, Qt::LeftButton, Qt::NoButton);
  Send(QEvent::MouseButtonDblClick, {75, 75}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(f.events,
            (std::vector<std::string>{"front:down:1", "front:up:1", "front:click", "front:down:1", "front:dblclick"}));
  Send(QEvent::MouseButtonRelease, {75, 75}, Qt::LeftButton, Qt::NoButton);

  // moves go to the control under the mouse; while a button pressed on a control is held, to that control
  f.events.clear();
  MoveMouse({25, 25});
  MoveMouse({175, 175});
  Send(QEvent::MouseButtonPress, {125, 125}, Qt::LeftButton, Qt::LeftButton);
  MoveMouse({25, 25}, Qt::LeftButton);
  // released away from it: no click
  Send(QEvent::MouseButtonRelease, {175, 175}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(f.events, (std::vector<std::string>{"back:move:0", "front:down:1", "front:move:1", "front:up:1"}));

  f.events.clear();
  Click({225, 25});
  EXPECT_EQ(f.events, std::vector<std::string>{"side:click"});

  // a press whose release never comes (the window manager took it to move the window) holds the mouse
  // no longer than the buttons are held
  f.events.clear();
  Send(QEvent::MouseButtonPress, {25, 25}, Qt::LeftButton, Qt::LeftButton);
  MoveMouse({125, 125});
  EXPECT_EQ(f.events, (std::vector<std::string>{"back:down:1", "front:move:0"}));
}

TEST_F(Windowless, HiddenOrDisabledOnesLetTheMouseThroughAndHiddenOnesAreNotDrawn) {
  f.Load();
  f.lblFront.SetVisible(false);
  EXPECT_EQ(qRed(Pixel(75, 75)), 255);
  EXPECT_EQ(Pixel(125, 125), qRgb(255, 255, 255));
  Click({75, 75});
  Click({125, 125});
  EXPECT_EQ(f.events, (std::vector<std::string>{"back:down:1", "back:up:1", "back:click", "form:down:1"}));

  f.events.clear();
  f.lblFront.SetVisible(true);
  f.lblFront.SetEnabled(false);
  EXPECT_EQ(qBlue(Pixel(75, 75)), 255);
  Click({75, 75});
  EXPECT_EQ(f.events, (std::vector<std::string>{"back:down:1", "back:up:1", "back:click"}));
}

TEST_F(Windowless, AMoveDrawsOnlyWhereTheControlWasAndWhereItIsNow) {
  ShowAndSettle();
  const QRect before(50, 50, 100, 100);
  f.lblFront.SetLeft(f.lblFront.Left() + 1500);
  WaitForPaint();
  EXPECT_EQ(spy.painted, QRegion(before) + QRegion(before.translated(100, 0)));
  EXPECT_EQ(qBlue(Pixel(75, 75)), 0);  // the back label shows again where the front one was
  EXPECT_EQ(qBlue(Pixel(225, 75)), 255);

  // a move to where it stands, and a move outside the area, draw nothing
  f.imgSide.Move(-3000, 0);
  for (int i = 0; i < 5; ++i) rt::DoEvents();
  spy.painted = QRegion();
  f.lblFront.SetLeft(f.lblFront.Left());
  f.imgSide.Move(-4500, 0);
  for (int i = 0; i < 5; ++i) rt::DoEvents();
  EXPECT_TRUE(spy.painted.isEmpty());
}

TEST_F(Windowless, AChangeOfCaptionOrVisibilityDrawsOnlyThatControl) {
  ShowAndSettle();
  f.lblBack.SetCaption("AAPL");
  WaitForPaint();
  EXPECT_EQ(spy.painted, QRegion(0, 0, 100, 100));
  spy.painted = QRegion();
  spy.paints = 0;
  f.lblFront.SetVisible(false);
  WaitForPaint();
  EXPECT_EQ(spy.painted, QRegion(50, 50, 100, 100));
}

TEST_F(Windowless, ALabelDrawsItsCaptionAnewWhenCaptionOrFontChange) {
  f.Load();
  f.lblBack.SetBackColor(kWhite);
  f.lblBack.SetForeColor(0);
  // the number of dark pixels in the label's place
  auto ink = [&] {
    const QImage image = Area()->grab(QRect(0, 0, 50, 50)).toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128;
    return dark;
  };
  EXPECT_EQ(ink(), 0);
  f.lblBack.SetCaption("I");
  const int narrow = ink();
  EXPECT_GT(narrow, 0);
  f.lblBack.SetCaption("W");
  const int wide = ink();
  EXPECT_GT(wide, narrow);
  f.lblBack.SetCaption("WWW");
  EXPECT_GT(ink(), wide);
  f.lblBack.SetFontSize(f.lblBack.FontSize() * 2);
  EXPECT_GT(ink(), wide);
  f.lblBack.SetCaption("");
  EXPECT_EQ(ink(), 0);
}

TEST_F(Windowless, ACaptionOfSeveralLinesShowsThemOneUnderTheOther) {
  f.Load();
  f.lblFront.SetVisible(false);
  f.lblBack.SetBackColor(kWhite);
  f.lblBack.SetForeColor(0);
  // the rows of the label's place that hold dark pixels
  auto inkedRows = [&] {
    const QImage image = Area()->grab(QRect(0, 0, 100, 100)).toImage();
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
      bool dark = false;
      for (int x = 0; x < image.width(); ++x) dark = dark || qGray(image.pixel(x, y)) < 128;
      rows += dark;
    }
    return rows;
  };
  f.lblBack.SetCaption("W");
  const int one = inkedRows();
  ASSERT_GT(one, 0);
  for (const char* lines : {"W\r\nW", "W\nW"}) {
    f.lblBack.SetCaption(lines);
    EXPECT_GE(inkedRows(), 2 * one) << lines;
  }
  // words that do not fit in the label's width go on the next line when it wraps
  f.lblBack.Move(0, 0, 750, 1500);  // 50 pixels wide
  f.lblBack.SetCaption("WW WW WW");
  const int unwrapped = inkedRows();
  f.lblBack.SetWordWrap(true);
  EXPECT_GE(inkedRows(), 2 * unwrapped);
}

// The label keeps its caption laid out between paints; a new alignment lays it out again.
TEST_F(Windowless, AWrappedCaptionFollowsANewAlignment) {
  f.Load();
  f.lblFront.SetVisible(false);
  f.lblBack.SetBackColor(kWhite);
  f.lblBack.SetForeColor(0);
  f.lblBack.SetWordWrap(true);
  f.lblBack.SetCaption("I");
  // the leftmost column of the label's place that holds dark pixels
  auto firstInked = [&] {
    const QImage image = Area()->grab(QRect(0, 0, 100, 100)).toImage();
    for (int x = 0; x < image.width(); ++x)
      for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(x, y)) < 128) return x;
    return -1;
  };
  const int left = firstInked();
  ASSERT_GE(left, 0);
  EXPECT_LT(left, 25);
  f.lblBack.SetAlignment(1);
  EXPECT_GT(firstInked(), 75);
  f.lblBack.SetAlignment(2);
  const int centre = firstInked();
  EXPECT_GT(centre, 35);
  EXPECT_LT(centre, 65);
}

TEST_F(Windowless, ARemovedRuntimeControlLeavesNothingBehind) {
  rt::Label& added = f.AddControl<rt::Label>("lblAdded");
  added.Move(3000, 1500, 750, 750);  // pixels 200 .. 250
  added.SetBackColor(kRed);
  int clicks = 0;
  added.Click = [&] { ++clicks; };
  ShowAndSettle();
  Click({225, 125});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(qRed(Pixel(225, 125)), 255);
  EXPECT_EQ(qGreen(Pixel(225, 125)), 0);

  spy.painted = QRegion();
  spy.paints = 0;
  f.RemoveControl("lblAdded");
  WaitForPaint();
  EXPECT_EQ(spy.painted, QRegion(200, 100, 50, 50));
  EXPECT_EQ(Pixel(225, 125), qRgb(255, 255, 255));
  Click({225, 125});
  EXPECT_EQ(f.events, std::vector<std::string>{"form:down:1"});
  EXPECT_EQ(f.FindControl("lblAdded"), nullptr);
  EXPECT_NO_THROW(f.AddControl<rt::Label>("lblAdded"));
}

// A picture file written again under the same name shows its new picture; pictures are read once only
// while their file stays the same.
TEST_F(Windowless, APictureFileWrittenAgainShowsItsNewPicture) {
  f.Load();
  const std::string path = home + "/state.bmp";
  const auto write = [&](Qt::GlobalColor color) {
    QImage image(50, 50, QImage::Format_RGB32);
    image.fill(color);
    return image.save(QString::fromStdString(path), "BMP");
  };
  ASSERT_TRUE(write(Qt::red));
  f.imgSide.LoadPicture(path);
  EXPECT_EQ(Pixel(225, 25), qRgb(255, 0, 0));
  ASSERT_TRUE(write(Qt::blue));
  f.imgSide.LoadPicture(path);
  EXPECT_EQ(Pixel(225, 25), qRgb(0, 0, 255));
  // on a file system whose clock is coarse the file keeps its time as well as its size
  const auto time = std::filesystem::last_write_time(path);
  ASSERT_TRUE(write(Qt::green));
  std::filesystem::last_write_time(path, time);
  f.imgSide.LoadPicture(path);
  EXPECT_EQ(Pixel(225, 25), qRgb(0, 255, 0));
}

TEST_F(Windowless, TheirPointerAndToolTipShowOverThem) {
  f.lblFront.SetMousePointer(15);
  f.lblFront.SetToolTipText("Press left mouse button and move window");
  f.Show();
  MoveMouse({125, 125});
  EXPECT_EQ(Area()->cursor().shape(), Qt::SizeAllCursor);
  MoveMouse({25, 25});
  EXPECT_EQ(Area()->cursor().shape(), Qt::ArrowCursor);

  QHelpEvent help(QEvent::ToolTip, {125, 125}, Area()->mapToGlobal(QPoint(125, 125)));
  QApplication::sendEvent(Area(), &help);
  EXPECT_EQ(QToolTip::text().toStdString(), "Press left mouse button and move window");
  QToolTip::hideText();
}

TEST_F(Windowless, InAFrameTheyStandOnTheFrame) {
  f.Load();
  rt::Frame& frame = f.AddControl<rt::Frame>("fraBox");
  frame.Move(0, 1800, 3000, 1500);
  rt::Label& inside = f.AddControl<rt::Label>("lblInside");
  frame.Place(inside);
  inside.Move(150, 300, 750, 450);  // from the frame's corner
  int clicks = 0;
  inside.Click = [&] { ++clicks; };
  QWidget* box = frame.Widget();
  const QPoint at(20, 30);
  QMouseEvent press(QEvent::MouseButtonPress, at, box->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
  QMouseEvent release(QEvent::MouseButtonRelease, at, box->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(box, &press);
  QApplication::sendEvent(box, &release);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(inside.Left(), 150);
}

// An animation that nobody can see would wake the program ten times a second: it runs only while shown.
TEST_F(Windowless, AnAnimatedPictureRunsOnlyWhileItCanBeSeen) {
  AnimatedForm a;
  a.Load();
  ASSERT_NE(a.Movie(), nullptr);
  EXPECT_NE(a.Movie()->state(), QMovie::Running);
  a.Show();
  EXPECT_EQ(a.Movie()->state(), QMovie::Running);
  a.aniLoading.SetVisible(false);
  EXPECT_NE(a.Movie()->state(), QMovie::Running);
  a.aniLoading.SetVisible(true);
  EXPECT_EQ(a.Movie()->state(), QMovie::Running);
  a.Hide();
  EXPECT_NE(a.Movie()->state(), QMovie::Running);
  a.Show();
  EXPECT_EQ(a.Movie()->state(), QMovie::Running);
  a.Unload();
  EXPECT_NE(a.Movie()->state(), QMovie::Running);

  // loaded again, the animation is loaded anew and waits to be shown
  a.Load();
  EXPECT_NE(a.Movie()->state(), QMovie::Running);
  a.Show();
  EXPECT_EQ(a.Movie()->state(), QMovie::Running);
}
