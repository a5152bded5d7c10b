#include "platform/runtime/Launch.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>
#include <utility>

namespace rt {
namespace {

bool Desktop(const Launched& request) {
  const QString target = QString::fromStdString(request.target);
  switch (request.kind) {
    case Launched::Address: {
      const QUrl url(target, QUrl::StrictMode);
      return url.isValid() && !url.scheme().isEmpty() && QDesktopServices::openUrl(url);
    }
    case Launched::Document: return !target.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(target));
    case Launched::Program: {
      QStringList arguments;
      for (const std::string& a : request.arguments) arguments << QString::fromStdString(a);
      return !target.isEmpty() && QProcess::startDetached(target, arguments);
    }
  }
  return false;
}

std::function<bool(const Launched&)>& Launcher() {
  static std::function<bool(const Launched&)> launcher;
  return launcher;
}

}  // namespace

bool Launch(const Launched& request) {
  const auto& launcher = Launcher();
  return launcher ? launcher(request) : Desktop(request);
}

namespace testing {

void SetLauncher(std::function<bool(const Launched&)> launcher) {
  Launcher() = std::move(launcher);
}

std::vector<Launched>& Launches() {
  static std::vector<Launched> launches;
  return launches;
}

void RecordLaunches(bool answer) {
  SetLauncher([answer](const Launched& request) {
    Launches().push_back(request);
    return answer;
  });
}

}  // namespace testing
}  // namespace rt
