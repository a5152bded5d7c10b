#pragma once
// Whether the computer has a sound output device, and the speech object set up at start-up.

#include <memory>
#include <string>

namespace automation {
class SpeechObject;
}

namespace VYK_PlaySound {

// True when a sound output device exists; the answer is also kept for Ini_TTS.
bool HasSound();
// Creates the speech object into SpeechObj (Tollerwick_Main) and announces the program to it; when that
// fails, tells the user once per computer where the speech components can be downloaded.
void Ini_TTS();

// The speech object; the start-up module knows it as SpeechObj.
extern std::unique_ptr<automation::SpeechObject> Speech;
// The addresses of the two speech component installers.
std::string SpeechApiAddress();
std::string SpeechEngineAddress();

}  // namespace VYK_PlaySound
