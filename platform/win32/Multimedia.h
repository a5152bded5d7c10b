#pragma once
// Sound output and the speech object.

#include <string>
#include <vector>

namespace win32 {

// The number of sound output devices.
long waveOutGetNumDevs();

enum : long { SND_SYNC = 0x0, SND_ASYNC = 0x1, SND_NODEFAULT = 0x2, SND_FILENAME = 0x20000 };
// Plays a wave file (asynchronously with SND_ASYNC); non-zero when it could be started. A file that is
// missing or cannot be played gives the desktop's default sound instead, unless SND_NODEFAULT is given.
long PlaySoundA(const std::string& fileName, long module, long flags);

// Starts the user's browser on a download address (the address converted to wide characters by the caller
// is the same text here).
void DoFileDownload(const std::string& address);

namespace testing {
// Pretends that the computer has this many sound output devices; -1 goes back to the real ones.
void SetSoundDevices(long count);
// One sound that PlaySoundA gave: the wave file, or the desktop's default sound in its place.
struct PlayedSound {
  std::string file;
  bool defaultSound = false;
  long flags = 0;
};
// While recording, PlaySoundA notes the sound instead of playing it.
void RecordSounds(bool recording);
std::vector<PlayedSound>& PlayedSounds();
}  // namespace testing

}  // namespace win32

namespace automation {

// The text-to-speech object. Creating it fails with 429 (the component cannot be created) when this system
// has no speech engine that works; otherwise it names the first engine that does. It keeps no engine
// running: one holds an audio connection and a thread of its own, and the program says nothing through it.
class SpeechObject {
 public:
  SpeechObject();
  ~SpeechObject();
  SpeechObject(const SpeechObject&) = delete;
  SpeechObject& operator=(const SpeechObject&) = delete;
  // Announces the calling application to the speech system: a site name and an application name.
  void Register(const std::string& site, const std::string& application);
  const std::string& Engine() const { return engine_; }
  const std::string& Application() const { return application_; }

  // For tests: no engine counts as working, as on a machine without speech components.
  static void SetUnavailableForTesting(bool unavailable);
  // For tests: a stand-in engine ("test") works, whatever is installed, as on a machine with speech
  // components; the switch above wins over this one.
  static void SetAvailableForTesting(bool available);

  // Finding the engine that works means loading it (its plug-in, its voices), which takes a while: the
  // program starts that on a thread of its own as soon as it runs, and the first object made takes that
  // thread's answer. Finishing waits for that work.
  static void StartLoadingEngines();
  static void FinishLoadingEngines();

 private:
  std::string engine_;
  std::string application_;
};

}  // namespace automation
