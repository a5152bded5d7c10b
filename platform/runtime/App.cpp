#include "platform/runtime/App.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace rt {

AppObject App;

AppObject::AppObject()
    : Major(TOLLERWICK_VERSION_MAJOR), Minor(TOLLERWICK_VERSION_MINOR), Revision(TOLLERWICK_VERSION_PATCH) {}

namespace {
std::string ExecutablePath() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
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
