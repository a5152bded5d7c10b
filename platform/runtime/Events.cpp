#include "platform/runtime/Events.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "platform/runtime/App.h"

namespace rt {

namespace {
int g_eventsHeld = 0;
}  // namespace

NoEvents::NoEvents() {
  ++g_eventsHeld;
}
NoEvents::~NoEvents() {
  --g_eventsHeld;
}

void DoEvents() {
  if (g_eventsHeld) return;
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void DoEventsWaiting(int ms) {
  if (g_eventsHeld || !QCoreApplication::instance()) return;
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(ms);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
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
  const QString text = QString::fromStdString(prompt);
  const QString caption = QString::fromStdString(title.empty() ? App.Title : title);
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    // No windows in this process: the message goes to the terminal.
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    return FirstButton(style);
  }
  QMessageBox box;
  box.setWindowTitle(caption);
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
