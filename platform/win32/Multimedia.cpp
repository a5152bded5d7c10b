#include "platform/win32/Multimedia.h"

#include <QApplication>
#include <QAudioDevice>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTextToSpeech>
#include <QUrl>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>

#include "platform/runtime/Error.h"
#include "platform/runtime/Launch.h"

namespace win32 {

namespace {

long g_devices = -1;
bool g_recording = false;

std::vector<testing::PlayedSound>& Played() {
  static std::vector<testing::PlayedSound> played;
  return played;
}

uint32_t Little(const QByteArray& bytes, qsizetype at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

bool Skip(QFile& file, qint64 bytes) {
  return bytes == 0 || file.skip(bytes) == bytes;
}

// A wave file the sound output can play: RIFF WAVE with a format of samples it knows (integer PCM,
// floating point or the extensible form of both) and a data chunk that is not empty.
bool IsPlayableWave(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = file.read(12);
  if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") return false;
  bool format = false;
  while (true) {
    const QByteArray chunk = file.read(8);
    if (chunk.size() < 8) return false;
    const uint32_t size = Little(chunk, 4, 4);
    if (chunk.startsWith("fmt ")) {
      if (size < 16) return false;
      const QByteArray fmt = file.read(16);
      if (fmt.size() < 16 || !Skip(file, size - 16 + size % 2)) return false;
      const uint32_t tag = Little(fmt, 0, 2), channels = Little(fmt, 2, 2), rate = Little(fmt, 4, 4);
      const uint32_t bits = Little(fmt, 14, 2);
      format = (tag == 1 || tag == 3 || tag == 0xFFFE) && channels >= 1 && rate >= 1 &&
               (bits == 8 || bits == 16 || bits == 24 || bits == 32);
      if (!format) return false;
      continue;
    }
    if (chunk.startsWith("data")) return format && size > 0 && file.bytesAvailable() > 0;
    // chunks are padded to an even size
    if (!Skip(file, size + size % 2)) return false;
  }
}

// The desktop's default sound: its beep.
void DefaultSound(const std::string& fileName, long flags) {
  if (g_recording) {
    Played().push_back({fileName, true, flags});
    return;
  }
  QApplication::beep();
}

}  // namespace

long waveOutGetNumDevs() {
  if (g_devices >= 0) return g_devices;
  return static_cast<long>(QMediaDevices::audioOutputs().size());
}

long PlaySoundA(const std::string& fileName, long /*module*/, long flags) {
  const QString path = QString::fromStdString(fileName);
  if (!IsPlayableWave(path)) {
    if (!(flags & SND_NODEFAULT)) DefaultSound(fileName, flags);
    return 0;
  }
  if (g_recording) {
    Played().push_back({fileName, false, flags});
    return 1;
  }
  static QSoundEffect* effect = nullptr;
  static long effectFlags = 0;
  static std::string effectFile;
  if (!effect) {
    effect = new QSoundEffect();
    // a file that looked right but cannot be decoded after all
    QObject::connect(effect, &QSoundEffect::statusChanged, [] {
      if (effect->status() == QSoundEffect::Error && !(effectFlags & SND_NODEFAULT))
        DefaultSound(effectFile, effectFlags);
    });
  }
  effect->stop();
  effectFlags = flags;
  effectFile = fileName;
  effect->setSource(QUrl::fromLocalFile(path));
  effect->setLoopCount(1);
  effect->play();
  if (!(flags & SND_ASYNC)) {
    // a synchronous play waits for the sound to end (at most a minute)
    for (int i = 0; i < 6000 && (effect->isPlaying() || effect->status() == QSoundEffect::Loading); ++i)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return 1;
}

namespace testing {
void SetSoundDevices(long count) {
  g_devices = count;
}
void RecordSounds(bool recording) {
  g_recording = recording;
}
std::vector<PlayedSound>& PlayedSounds() {
  return Played();
}
}  // namespace testing

void DoFileDownload(const std::string& address) {
  rt::Launch({rt::Launched::Address, address, {}});
}

}  // namespace win32

namespace automation {

namespace {
bool g_unavailable = false;
bool g_standIn = false;
std::thread g_loading;
// What the loading thread found: the name of the first engine that works, empty when none does.
std::optional<std::string> g_found;

std::string FirstWorkingEngine() {
  // An engine made and dropped here leaves its plug-in and voices loaded: the next one is made quickly.
  for (const QString& name : QTextToSpeech::availableEngines()) {
    QTextToSpeech speech(name);
    if (speech.state() != QTextToSpeech::Error) return name.toStdString();
  }
  return {};
}
}  // namespace

void SpeechObject::SetUnavailableForTesting(bool unavailable) {
  g_unavailable = unavailable;
}

void SpeechObject::SetAvailableForTesting(bool available) {
  g_standIn = available;
}

void SpeechObject::StartLoadingEngines() {
  if (g_loading.joinable() || g_found) return;
  g_loading = std::thread([] { g_found = FirstWorkingEngine(); });
}

void SpeechObject::FinishLoadingEngines() {
  if (g_loading.joinable()) g_loading.join();
}

SpeechObject::SpeechObject() {
  FinishLoadingEngines();
  // the loading thread's answer serves the first object; any later one looks again
  std::optional<std::string> found;
  found.swap(g_found);
  if (g_unavailable) rt::Raise(rt::errCannotCreateObject);
  if (g_standIn) found = "test";
  if (!found) found = FirstWorkingEngine();
  if (found->empty()) rt::Raise(rt::errCannotCreateObject);
  engine_ = *found;
}

SpeechObject::~SpeechObject() = default;

void SpeechObject::Register(const std::string& site, const std::string& application) {
  (void)site;
  application_ = application;
}

}  // namespace automation
