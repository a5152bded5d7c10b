#include "platform/runtime/Program.h"

#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QImageReader>
#include <QPixmap>
#include <QSocketNotifier>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/runtime/Error.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Form.h"
#include "platform/runtime/Launch.h"
#include "platform/win32/Multimedia.h"

namespace rt {
namespace {

int g_signalPipe[2] = {-1, -1};
std::function<void()> g_terminate;

void OnSignal(int) {
  const char c = 1;
  // async-signal-safe: hand the request to the event loop
  [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

void WatchSignals() {
  if (::pipe(g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    char c;
    [[maybe_unused]] ssize_t n = ::read(g_signalPipe[0], &c, 1);
    if (g_terminate)
      g_terminate();
    else
      End(0);
  });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGHUP, &sa, nullptr);
}

}  // namespace

int Run(int argc, char** argv, void (*main)()) {
  // Nothing here chooses OpenGL: the web browser control sets up what its engine needs when it is first used.
  QApplication app(argc, argv);
  automation::SpeechObject::StartLoadingEngines();
  // Two things the first windows need are read on first use, and reading them takes a while: the font
  // database (the system's font configuration and its list of fonts: the splash's first text) and the
  // image format plug-ins (the splash's first picture). Read them meanwhile, each on a thread of its own.
  std::thread fonts([] { QFontDatabase::families(); });
  std::thread imageFormats([] { QImageReader::supportedImageFormats(); });
  struct Loaded {
    std::thread& fonts;
    std::thread& imageFormats;
    ~Loaded() {
      fonts.join();
      imageFormats.join();
      automation::SpeechObject::FinishLoadingEngines();
    }
  } loaded{fonts, imageFormats};
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QApplication::setQuitOnLastWindowClosed(false);
  WatchSignals();
  main();
  if (Forms().empty()) return 0;
  return QApplication::exec();
}

namespace {
bool g_throwOnEnd = false;
}

void testing::ThrowOnEnd(bool enabled) { g_throwOnEnd = enabled; }

void End(int code) {
  Reset();
  if (g_throwOnEnd) throw EndOfProcess{code};
  std::fflush(nullptr);
  ::_exit(code);
}

void Shell(const std::string& pathName, int /*windowStyle*/) {
  const QString command = QString::fromStdString(pathName).trimmed();
  const qsizetype blank = command.indexOf(' ');
  const std::string program = (blank < 0 ? command : command.left(blank)).toStdString();
  const std::string argument = blank < 0 ? std::string() : command.mid(blank + 1).trimmed().toStdString();
  bool started = false;
  if (QString::fromStdString(program).compare("notepad.exe", Qt::CaseInsensitive) == 0 ||
      QString::fromStdString(program).compare("notepad", Qt::CaseInsensitive) == 0) {
    started = !argument.empty() && Launch({Launched::Document, argument, {}});
  } else {
    started =
        Launch({Launched::Program, program, argument.empty() ? std::vector<std::string>{} : std::vector{argument}});
  }
  if (!started) Raise(errFileNotFound);
}

void SaveClipboardPicture(const std::string& path) {
  const QPixmap picture = QGuiApplication::clipboard()->pixmap();
  if (picture.isNull()) Raise(380, "Invalid property value");
  if (!picture.save(QString::fromStdString(path), "BMP")) Raise(errPathFileAccess);
}

void OnTerminateRequest(std::function<void()> handler) { g_terminate = std::move(handler); }

}  // namespace rt
