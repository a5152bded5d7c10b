#include "platform/win32/Multimedia.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTextToSpeech>
#include <QUrl>
#include <memory>

#include "platform/runtime/Error.h"

namespace win32 {

long waveOutGetNumDevs() { return static_cast<long>(QMediaDevices::audioOutputs().size()); }

long PlaySoundA(const std::string& fileName, long /*module*/, long flags) {
  const QString path = QString::fromStdString(fileName);
  if (!QFile::exists(path)) return 0;
  static QSoundEffect* effect = nullptr;
  if (!effect) effect = new QSoundEffect();
  effect->stop();
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

void DoFileDownload(const std::string& address) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::StrictMode));
}

}  // namespace win32

namespace automation {

namespace {
bool g_unavailable = false;
}

struct SpeechObject::Native {
  std::unique_ptr<QTextToSpeech> speech;
};

void SpeechObject::SetUnavailableForTesting(bool unavailable) { g_unavailable = unavailable; }

SpeechObject::SpeechObject() {
  if (g_unavailable) rt::Raise(rt::errCannotCreateObject);
  // An engine may be installed but broken (its service not running): take the first that works.
  for (const QString& name : QTextToSpeech::availableEngines()) {
    auto speech = std::make_unique<QTextToSpeech>(name);
    if (speech->state() == QTextToSpeech::Error) continue;
    native_ = new Native{std::move(speech)};
    engine_ = name.toStdString();
    return;
  }
  rt::Raise(rt::errCannotCreateObject);
}

SpeechObject::~SpeechObject() { delete native_; }

void SpeechObject::Register(const std::string& site, const std::string& application) {
  (void)site;
  application_ = application;
}

}  // namespace automation
