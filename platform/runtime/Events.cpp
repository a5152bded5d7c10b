#include "platform/runtime/Events.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/runtime/App.h"
#include "platform/runtime/Text.h"

namespace rt {

namespace {
int g_eventsHeld = 0;

using Clock = std::chrono::steady_clock;

// How often DoEvents asks the system for new events at most.
constexpr Clock::duration kAskEvery = std::chrono::microseconds(200);

// The last time an event loop of the program's thread asked the system for events: a DoEvents, a download
// that waits, a modal window.
Clock::time_point g_lastAsked;

void FollowTheAsking() {
  static const bool following = [] {
    QObject::connect(QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread()),
                     &QAbstractEventDispatcher::awake, [] { g_lastAsked = Clock::now(); });
    return true;
  }();
  (void)following;
}

}  // namespace

NoEvents::NoEvents() {
  ++g_eventsHeld;
}
NoEvents::~NoEvents() {
  --g_eventsHeld;
}

void DoEvents() {
  if (g_eventsHeld || !QCoreApplication::instance()) return;
  FollowTheAsking();
  // What the program posted (repaints, queued calls) runs every time. The system is asked for new events
  // (input, arrived data, timers) when it was last asked more than 0.2 ms ago: an update cycle that lets
  // events run after every step of every row would ask it several times for each request, a system call
  // and a turn of every event source each, for input that nobody gives that fast.
  if (Clock::now() - g_lastAsked < kAskEvery) {
    QCoreApplication::sendPostedEvents();
    return;
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void DoEventsWaiting(int ms) {
  if (g_eventsHeld || !QCoreApplication::instance()) return;
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(ms);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void WaitForDesktop(const std::function<bool()>& done, int ms) {
  if (!QCoreApplication::instance()) return;
  const QDeadlineTimer deadline(ms);
  QTimer wake;
  wake.setSingleShot(true);
  while (!done() && !deadline.hasExpired()) {
    wake.start(std::max<qint64>(1, deadline.remainingTime()));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
  }
}

namespace testing {
MessageBoxScript& MessageBoxes() {
  static MessageBoxScript script;
  return script;
}
}  // namespace testing

namespace {

int FirstButton(int style) {
  switch (style & 7) {
    case mbOkCancel: return answerOk;
    case mbYesNo: return answerYes;
    default: return answerOk;
  }
}

}  // namespace

int MsgBox(const std::string& prompt, int style, const std::string& title) {
  testing::MessageBoxScript& script = testing::MessageBoxes();
  if (script.active) {
    script.shown.push_back({prompt, style, title});
    if (script.answers.empty()) return FirstButton(style);
    const int answer = script.answers.front();
    script.answers.pop_front();
    return answer;
  }
  const QString text = text::ToQt(prompt);
  const QString caption = text::ToQt(title.empty() ? App.Title : title);
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    // No windows in this process: the message goes to the terminal.
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    return FirstButton(style);
  }
  QMessageBox box;
  box.setWindowTitle(caption);
  // what a message says is shown as it stands: a server's answer or a ticker may look like markup
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  switch (style & 0x70) {
    case mbCritical: box.setIcon(QMessageBox::Critical); break;
    case mbQuestion: box.setIcon(QMessageBox::Question); break;
    case mbExclamation: box.setIcon(QMessageBox::Warning); break;
    case mbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  switch (style & 7) {
    case mbOkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case mbYesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
  }
  if (style & mbSystemModal) box.setWindowFlag(Qt::WindowStaysOnTopHint);
  switch (box.exec()) {
    case QMessageBox::Cancel: return answerCancel;
    case QMessageBox::Yes: return answerYes;
    case QMessageBox::No: return answerNo;
    default: return answerOk;
  }
}

}  // namespace rt
