#pragma once
// Locales set for a while and put back: the C library's own, which QApplication sets from the environment
// and which the layer's conversions must not follow, and the environment's variables that the layer reads.

#include <clocale>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The C library's numbers and dates in the first of the given locales that this machine has.
class CLibraryLocale {
 public:
  explicit CLibraryLocale(const std::vector<std::string>& names)
      : numeric_(std::setlocale(LC_NUMERIC, nullptr)), time_(std::setlocale(LC_TIME, nullptr)) {
    for (const std::string& n : names) {
      if (std::setlocale(LC_NUMERIC, n.c_str()) && std::setlocale(LC_TIME, n.c_str())) {
        name_ = n;
        return;
      }
    }
    Restore();
  }
  ~CLibraryLocale() { Restore(); }
  CLibraryLocale(const CLibraryLocale&) = delete;
  CLibraryLocale& operator=(const CLibraryLocale&) = delete;

  // The locale set, "" when the machine has none of them.
  const std::string& Name() const { return name_; }

 private:
  void Restore() {
    std::setlocale(LC_NUMERIC, numeric_.c_str());
    std::setlocale(LC_TIME, time_.c_str());
  }
  std::string numeric_, time_, name_;
};

// Environment variables changed for a while; each goes back to its value, or away, at the end.
class EnvironmentChange {
 public:
  EnvironmentChange() = default;
  ~EnvironmentChange() {
    for (const auto& [name, value] : before_) {
      if (value) ::setenv(name.c_str(), value->c_str(), 1);
      else ::unsetenv(name.c_str());
    }
  }
  EnvironmentChange(const EnvironmentChange&) = delete;
  EnvironmentChange& operator=(const EnvironmentChange&) = delete;

  void Set(const std::string& name, const std::string& value) {
    Remember(name);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  void Unset(const std::string& name) {
    Remember(name);
    ::unsetenv(name.c_str());
  }

 private:
  void Remember(const std::string& name) {
    if (before_.count(name)) return;
    const char* v = std::getenv(name.c_str());
    before_[name] = v ? std::optional<std::string>(v) : std::nullopt;
  }
  std::map<std::string, std::optional<std::string>> before_;
};
