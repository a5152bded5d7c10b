#include "platform/runtime/Program.h"

#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QPixmap>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/Error.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Launch.h"

namespace rt {
namespace {

int g_signalPipe[2] = {-1, -1};
std::function<void()> g_terminate;

void OnSignal(int) {
  const char c = 1;
  // async-signal-safe: hand the request to the event loop
  [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

}  // namespace

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

namespace {
bool g_throwOnEnd = false;
std::vector<FailedSave> g_failedSaves;
}  // namespace

void testing::ThrowOnEnd(bool enabled) { g_throwOnEnd = enabled; }

void NoteSave(const std::string& file, std::exception_ptr failure) {
  std::erase_if(g_failedSaves, [&](const FailedSave& f) { return f.file == file; });
  if (!failure) return;
  const Error error = ToError(failure);
  g_failedSaves.push_back({file, error.Description() + " (" + std::to_string(error.Number()) + ")"});
}

std::vector<FailedSave> FailedSaves() { return g_failedSaves; }

void End(int code) {
  for (const FailedSave& f : g_failedSaves)
    std::fprintf(stderr, "tollerwick: %s could not be saved: %s\n", f.file.c_str(), f.reason.c_str());
  if (!g_failedSaves.empty() && code == 0) code = 1;
  g_failedSaves.clear();
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
  if (QString::fromStdString(program).compare("notepad.exe", Qt::CaseInsensitive) == 0 ||
      QString::fromStdString(program).compare("notepad", Qt::CaseInsensitive) == 0) {
    // The file may well be there when the desktop has no program to start for it (no opener installed).
    if (argument.empty()) Raise(errFileNotFound);
    if (!Launch({Launched::Document, argument, {}}))
      Raise(errFileNotFound, "No program could be started to open " + argument);
    return;
  }
  if (!Launch({Launched::Program, program, argument.empty() ? std::vector<std::string>{} : std::vector{argument}}))
    Raise(errFileNotFound);
}

void SaveClipboardPicture(const std::string& path) {
  const QPixmap picture = QGuiApplication::clipboard()->pixmap();
  if (picture.isNull()) Raise(380, "Invalid property value");
  if (!picture.save(QString::fromStdString(path), "BMP")) Raise(errPathFileAccess);
}

void OnTerminateRequest(std::function<void()> handler) { g_terminate = std::move(handler); }

}  // namespace rt
