#include "tests/support/Sandbox.h"

#include <QDir>
#include <algorithm>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Regional.h"

long ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const rt::Error& e) {
    return e.Number();
  }
  return 0;
}

std::optional<rt::Error> RaisedBy(const std::function<void()>& f) {
  try {
    f();
  } catch (const rt::Error& e) {
    return e;
  }
  return std::nullopt;
}

void rt::PrintTo(const Launched& launched, std::ostream* os) {
  static const char* const kinds[] = {"address", "document", "program"};
  *os << kinds[launched.kind] << " \"" << launched.target << "\"";
  for (const std::string& a : launched.arguments) *os << " \"" << a << "\"";
}

bool Has(const std::vector<std::string>& items, const std::string& item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

std::vector<std::string> TakeOpened() {
  std::vector<std::string> opened;
  for (const rt::Launched& l : rt::testing::Launches())
    if (l.kind != rt::Launched::Program) opened.push_back(l.target);
  rt::testing::Launches().clear();
  return opened;
}

void Sandbox::SetUp() {
  char tmpl[] = "/tmp/tollerwick-test-XXXXXX";
  root = ::mkdtemp(tmpl);
  home = root + "/Tollerwick";
  common = root + "/Common";
  config = root + "/config";
  std::filesystem::create_directories(home);
  std::filesystem::create_directories(config);
  ::setenv("TOLLERWICK_HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  rt::testing::SetLocale("en_US");
  rt::testing::SetNow(rt::DateTime{rt::DateSerial(2026, 12, 7).serial + rt::TimeSerial(14, 5, 9).serial}, true);
  auto& boxes = rt::testing::MessageBoxes();
  boxes = {};
  boxes.active = true;
}

void Sandbox::TearDown() {
  rt::Reset();
  rt::testing::UseRealClock();
  std::error_code ec;
  std::filesystem::permissions(root, std::filesystem::perms::owner_all, ec);
  for (auto& e : std::filesystem::recursive_directory_iterator(root, ec))
    std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(root, ec);
}

void Sandbox::WriteFile(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::string Sandbox::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Sandbox::Lines(const std::string& content) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < content.size()) {
    const size_t end = content.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(content.substr(pos));
      break;
    }
    lines.push_back(content.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::string Sandbox::ErrorLog() const { return ReadFile(common + "/error.log"); }
