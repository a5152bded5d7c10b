#pragma once
// The event pump and message boxes.

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace rt {

// Lets pending events run once (timers, clicks, arrived data, repaints). What the program posted runs
// every time; the system is asked for new events when an event loop last asked it more than 0.2 ms ago.
void DoEvents();
// The same for loops that do nothing but wait: when nothing is pending, it waits up to `ms` milliseconds
// for an event rather than spinning.
void DoEventsWaiting(int ms = 10);

// Lets every event but the user's input run until `done` holds or `ms` milliseconds have passed: for a
// call that returns once the desktop has answered (a window on the screen, an icon taken in).
void WaitForDesktop(const std::function<bool()>& done, int ms);

// While one of these lives, DoEvents and DoEventsWaiting let no events run: for work that must end before
// any handler runs again, such as writing a line of the error log.
class NoEvents {
 public:
  NoEvents();
  ~NoEvents();
  NoEvents(const NoEvents&) = delete;
  NoEvents& operator=(const NoEvents&) = delete;
};

// Message box styles (they add up) and answers.
enum MsgBoxStyle : int {
  mbOkOnly = 0,
  mbOkCancel = 1,
  mbYesNo = 4,
  mbCritical = 16,
  mbQuestion = 32,
  mbExclamation = 48,
  mbInformation = 64,
  mbSystemModal = 4096,
};
enum MsgBoxAnswer : int { answerOk = 1, answerCancel = 2, answerYes = 6, answerNo = 7 };

// Shows a modal message box and returns the button pressed.
int MsgBox(const std::string& prompt, int style = mbOkOnly, const std::string& title = {});

namespace testing {

struct ShownMessage {
  std::string prompt;
  int style;
  std::string title;
};

// While scripted, no box is shown: each one is recorded and answered from the queue
// (the first button of its style when the queue is empty).
struct MessageBoxScript {
  bool active = false;
  std::deque<int> answers;
  std::vector<ShownMessage> shown;
};
MessageBoxScript& MessageBoxes();

}  // namespace testing
}  // namespace rt
