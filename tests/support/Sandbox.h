#pragma once
// Each test runs in a sandbox of its own: a temporary program folder (TOLLERWICK_HOME, with the shared
// folder Common beside it), a temporary configuration folder (XDG_CONFIG_HOME) for the registry, the
// clock and the regional settings pinned, and message boxes answered by script.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/Form.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Launch.h"

namespace rt {
// A launch as the test failures show it.
void PrintTo(const Launched& launched, std::ostream* os);
}  // namespace rt

// An empty form that controls can be put on.
class TestForm : public rt::Form {
 public:
  TestForm() : rt::Form("frmTest") {}
  ~TestForm() override { Unload(); }
};

// The run time's error number that `f` raises, 0 when it raises none; or the whole error.
long ErrorOf(const std::function<void()>& f);
std::optional<rt::Error> RaisedBy(const std::function<void()>& f);
// True when the list holds the item.
bool Has(const std::vector<std::string>& items, const std::string& item);
// The addresses and documents handed to the launch point since its list was last emptied, oldest first;
// the list is emptied.
std::vector<std::string> TakeOpened();

// Removes the folder the sandboxes of this test run stand in, with whatever a test left there; the tests'
// main calls it when they end.
void RemoveSandboxes();

class Sandbox : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // <root>/Tollerwick: the program folder
  std::string home;
  // <root>/Common: the shared folder
  std::string common;
  // <root>/config: the user's configuration folder
  std::string config;
  std::string root;

  static void WriteFile(const std::string& path, const std::string& content);
  static std::string ReadFile(const std::string& path);
  static std::vector<std::string> Lines(const std::string& content);  // split at CR LF
  std::string ErrorLog() const;  // the error log's content, "" when there is none
};
