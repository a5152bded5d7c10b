#include "platform/runtime/App.h"

#include <unistd.h>

#include <QDir>
#include <QLockFile>
#include <climits>
#include <map>
#include <memory>
#include <cstdlib>

namespace rt {

AppObject App;

AppObject::AppObject()
    : Major(TOLLERWICK_VERSION_MAJOR), Minor(TOLLERWICK_VERSION_MINOR), Revision(TOLLERWICK_VERSION_PATCH) {}

namespace {
// Read once: the program folder is asked for with every picture an update cycle shows.
const std::string& ExecutablePath() {
  static const std::string path = [] {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
  }();
  return path;
}
}  // namespace

std::string AppObject::Path() const {
  if (const char* home = std::getenv("TOLLERWICK_HOME"); home && *home) {
    std::string p = home;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
  }
  const std::string exe = ExecutablePath();
  const size_t slash = exe.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string AppObject::EXEName() const {
  const std::string exe = ExecutablePath();
  return exe.substr(exe.find_last_of('/') + 1);
}

}  // namespace rt

namespace rt {

bool AppObject::PrevInstance() const {
  // The first instance holds a lock file in the user's runtime folder as long as it runs; a lock left
  // by an instance that died is taken over. The answer is kept for the process (per lock file).
  struct Answer {
    std::unique_ptr<QLockFile> lock;  // held until the process ends
    bool other = false;
  };
  static auto& answers = *new std::map<QString, Answer>;  // the locks stay until the process ends
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const QString folder = runtime && *runtime ? QString::fromLocal8Bit(runtime) : QDir::tempPath();
  const QString path = folder + "/tollerwick-" + QString::number(::getuid()) + ".lock";
  if (auto it = answers.find(path); it != answers.end()) return it->second.other;
  Answer& answer = answers[path];
  answer.lock = std::make_unique<QLockFile>(path);
  answer.lock->setStaleLockTime(0);
  answer.other = !answer.lock->tryLock(0);
  if (answer.other) answer.lock.reset();
  const bool other = answer.other;
  return other;
}

}  // namespace rt
