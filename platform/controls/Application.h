#pragma once
// The application: the program's entry procedure, run with its forms.

namespace rt {

// Creates the application, runs `main`, then lets events run while forms are loaded. Returns the exit code.
// Without a display it can use (none at all, a Wayland session without XWayland, an X server it cannot
// open) it says so on standard error and returns 1.
int Run(int argc, char** argv, void (*main)());

}  // namespace rt
