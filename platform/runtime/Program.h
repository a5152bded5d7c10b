#pragma once
// The process: the application object, the program's entry procedure, the end.

#include <functional>
#include <string>

namespace rt {

// Creates the application, runs `main`, then lets events run while forms are loaded. Returns the exit code.
// Without a display it can use (none at all, a Wayland session without XWayland, an X server it cannot
// open) it says so on standard error and returns 1.
int Run(int argc, char** argv, void (*main)());
// Starts a program: its name, a blank, its argument (one file). The text editor "notepad.exe" is the
// desktop's editor for the file. No shell reads the text. 53 when the program cannot be started.
void Shell(const std::string& pathName, int windowStyle = 1);

// The clipboard's picture (format 2, a bitmap) saved as a BMP file: 380 when the clipboard holds no picture,
// 75 when the file cannot be written.
void SaveClipboardPicture(const std::string& path);

// Ends the process at once: every open file is closed first, no further event runs.
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

}  // namespace rt
