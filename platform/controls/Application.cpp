#include "platform/controls/Application.h"

#include <unistd.h>

#include <QApplication>
#include <QFontDatabase>
#include <QImageReader>
#include <QStyleFactory>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/controls/Form.h"
#include "platform/runtime/Program.h"
#include "platform/win32/Multimedia.h"

namespace rt {
namespace {

// The window system, chosen before the application exists. The program places its windows by screen
// coordinates, which only X lets a program do: on a Wayland session it runs on the session's X server
// (XWayland). Whoever sets QT_QPA_PLATFORM has chosen already. Gives what is missing, "" when nothing is.
std::string ChooseWindowSystem() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return {};
  if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    return {};
  }
  if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    return "this Wayland session has no X server (XWayland), which the program needs: install or switch on "
           "XWayland and start it again";
  return "there is no display (DISPLAY is not set): start the program inside a desktop session";
}

void Tell(const std::string& what) {
  std::fprintf(stderr, "tollerwick: %s\n", what.c_str());
  std::fflush(stderr);
}

QtMessageHandler g_passOn = nullptr;
bool g_startingUp = false;
// The window system's own words while it starts: told after a good start, replaced by ours after a failed one.
std::vector<std::pair<QtMsgType, QString>> g_startUpNotes;

void OnMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  // Without a sound server the sound back-end says so at every start; the program has no sound device
  // then, and that is all it needs to know.
  if (message.startsWith(QLatin1String("PulseAudioService: pa_context_connect() failed"))) return;
  if (g_startingUp) {
    if (type == QtFatalMsg) {
      // the window system cannot be used: say which display, instead of aborting with the toolkit's words
      Tell("cannot open the display \"" + qEnvironmentVariable("DISPLAY").toStdString() +
           "\": is the X server running, and may this user use it?");
      ::_exit(1);
    }
    if (QByteArray(context.category ? context.category : "").startsWith("qt.qpa.")) {
      g_startUpNotes.emplace_back(type, message);
      return;
    }
  }
  if (g_passOn) g_passOn(type, context, message);
}

}  // namespace

int Run(int argc, char** argv, void (*main)()) {
  g_passOn = qInstallMessageHandler(OnMessage);
  if (const std::string missing = ChooseWindowSystem(); !missing.empty()) {
    Tell(missing);
    return 1;
  }
  // Nothing here chooses OpenGL: the web browser control sets up what its engine needs when it is first used.
  g_startingUp = true;
  QApplication app(argc, argv);
  g_startingUp = false;
  for (const auto& [type, note] : g_startUpNotes)
    if (g_passOn) g_passOn(type, QMessageLogContext(), note);
  g_startUpNotes.clear();
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

}  // namespace rt
