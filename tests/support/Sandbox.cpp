#include "tests/support/Sandbox.h"

#include <unistd.h>

#include <QDir>
#include <algorithm>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Program.h"
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

namespace {

// Removes a folder with everything in it, also what a test made unreadable or unwritable.
void RemoveAll(const std::string& folder) {
  std::error_code ec;
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
  for (auto& e : std::filesystem::recursive_directory_iterator(folder, ec))
    std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(folder, ec);
}

// The folder every sandbox of this test run stands in: tollerwick-test-XXXXXX in $TMPDIR (or /tmp), made for
// the first sandbox by the process that runs the tests and removed by it, with everything in it, when the
// tests end, and once more when the process ends, for what was written there after them. A process the
// tests start that runs test code again (a death test's) finds the folder's name in the environment and
// makes its sandboxes inside it, since such a process ends without tearing any down.
constexpr const char* kRunFolderVariable = "TOLLERWICK_TEST_RUN_FOLDER";

struct RunFolder {
  std::string path;
  pid_t owner = 0;  // the process that removes it; 0 when another one does
};

RunFolder& TheRunFolder() {
  static RunFolder folder;
  return folder;
}

void RemoveTheRunFolder() {
  RunFolder& folder = TheRunFolder();
  // a child forked by a test that ends through exit leaves it to its parent
  if (folder.path.empty() || folder.owner != ::getpid()) return;
  RemoveAll(folder.path);
}

const std::string& RunFolderPath() {
  RunFolder& folder = TheRunFolder();
  if (!folder.path.empty()) return folder.path;
  if (const char* inherited = std::getenv(kRunFolderVariable);
      inherited && *inherited && std::filesystem::is_directory(inherited)) {
    folder.path = inherited;
    return folder.path;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tollerwick-test-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder: " + pattern);
  folder.path = pattern;
  folder.owner = ::getpid();
  ::setenv(kRunFolderVariable, folder.path.c_str(), 1);
  // also when the process ends without the tests' end (exit from a test)
  std::atexit(RemoveTheRunFolder);
  return folder.path;
}

}  // namespace

void RemoveSandboxes() { RemoveTheRunFolder(); }

void Sandbox::SetUp() {
  std::string pattern = RunFolderPath() + "/XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("no sandbox folder: " + pattern);
  root = pattern;
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
  // a save that failed in this test is no failure of the next one's end
  for (const rt::FailedSave& f : rt::FailedSaves()) rt::NoteSave(f.file, nullptr);
  rt::testing::UseRealClock();
  RemoveAll(root);
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
