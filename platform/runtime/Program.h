#pragma once
// The process: starting programs, the clipboard's picture, failed saves, the desktop session's request to
// end, and the end. The application object and the entry procedure are in platform/controls/Application.h.

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace rt {

// Starts a program: its name, a blank, its argument (one file). The text editor "notepad.exe" is the
// desktop's editor for the file. No shell reads the text. 53 when the program cannot be started; for the
// editor, when no program could be started to open the file, the description says so.
void Shell(const std::string& pathName, int windowStyle = 1);

// The clipboard's picture (format 2, a bitmap) saved as a BMP file: 380 when the clipboard holds no picture,
// 75 when the file cannot be written.
void SaveClipboardPicture(const std::string& path);

// Files the program could not save, each with the reason, kept until the file is saved again.
struct FailedSave {
  std::string file;
  std::string reason;
};
// Notes how the last save of `file` went: `failure` is what it raised, null when it was saved.
void NoteSave(const std::string& file, std::exception_ptr failure);
std::vector<FailedSave> FailedSaves();

// Ends the process at once: every open file is closed first, no further event runs. A file whose last save
// failed is named on standard error with the reason, and the process then ends with status 1 instead of 0:
// what the user changed since the file was saved last is lost.
[[noreturn]] void End(int code = 0);
// What End throws instead of ending the process while a test runs the program's code in its own process.
struct EndOfProcess {
  int code;
};
namespace testing {
void ThrowOnEnd(bool enabled);
}

// What to do when the desktop session asks the program to end (SIGTERM, SIGINT); without it, End.
void OnTerminateRequest(std::function<void()> handler);
// Hands those requests (and SIGHUP) to the event loop from now on; the application exists already.
void WatchSignals();

}  // namespace rt
