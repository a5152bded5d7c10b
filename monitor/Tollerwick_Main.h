#pragma once
// Start-up: the program's entry procedure and what it shares with the whole program.

#include <memory>

class frmMain_Tollerwick;
namespace automation {
class SpeechObject;
}

namespace Tollerwick_Main {

// The one main window; every module reaches the main window and its controls through it.
extern frmMain_Tollerwick* MainForm;
// The text-to-speech object set up at start-up.
extern std::unique_ptr<automation::SpeechObject>& SpeechObj;
// True while the splash window is up.
extern bool SplashRunning;

void Main();

}  // namespace Tollerwick_Main
