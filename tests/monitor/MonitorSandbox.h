#pragma once
// A sandbox for the program's own start-up: the shared folder holds the English language file, the clock
// runs fast from a set moment (the splash window's three seconds pass in a fraction of one), End throws
// instead of ending the test process, and the speech components are missing unless a test says otherwise.

#include <string>

#include "tests/support/Sandbox.h"

class frmOptions;

class MonitorSandbox : public Sandbox {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs Main; true when it returned, false when the program ended inside it.
  bool RunMain();
  // Ends the program through the exit menu, as the user would.
  void Exit();
  // The per-user settings application of this user.
  std::string UserApp() const;
  std::string Setting(const std::string& app, const std::string& section, const std::string& key) const;
};

// The program started, and the options dialog unloaded again after each test.
class OptionsSandbox : public MonitorSandbox {
 protected:
  void SetUp() override;
  void TearDown() override;
  static frmOptions& Dialog();
};
