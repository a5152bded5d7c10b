#include "library/VYK_Registry.h"

#include "library/ErrorTrap.h"
#include "library/VYK_ErrorLog.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Strings.h"
#include "platform/win32/Automation.h"

namespace VYK_Registry {
namespace {

// Registry failures are logged without a message box, followed by the routine's arguments.
Trap Here(const char* name, const std::string& path, const rt::Variant& value = std::string()) {
  Trap trap{std::string(name) + " of Modul VYK_Registry", false};
  trap.values = [path, value] { VYK_ErrorLog::WriteLogValues({path, value, "", "", "", "", "", "", "", ""}); };
  return trap;
}

bool IsTrue(const rt::Variant& v) { return v.IsBoolean() && v.AsBoolean(); }

std::string MachinePath(const std::string& appName, const std::string& section, const std::string& key) {
  return "HKEY_LOCAL_MACHINE\\Software\\" + appName + "\\" + section + "\\" + key;
}

}  // namespace

void CreateKey(const std::string& path, const std::string& value) {
  Here("CreateKey", path, value)([&] {
    automation::WshShell shell;
    shell.RegWrite(path, value);
  });
}

void CreateNumericKey(const std::string& path, const rt::Variant& value) {
  Here("CreateNumericKey", path, value)([&] {
    automation::WshShell shell;
    shell.RegWrite(path, value, "REG_DWORD");
  });
}

std::string ReadKey(const std::string& path) {
  std::string result;
  Here("ReadKey", path)([&] {
    automation::WshShell shell;
    result = shell.RegRead(path).ToString();
  });
  return result;
}

rt::Variant ReadKeyV(const std::string& path) {
  rt::Variant result;
  Here("ReadKeyV", path)([&] {
    automation::WshShell shell;
    result = shell.RegRead(path);
  });
  return result;
}

void DeleteKey(std::string& path) {
  Here("DeleteKey", path)([&] {
    if (!IsTrue(RegKeyExists(path))) return;
    automation::WshShell shell;
    shell.RegDelete(path);
  });
}

rt::Variant RegKeyExists(std::string& path) {
  rt::Variant result;
  Trap{"RegKeyExists of Modul VYK_Registry"}([&] {
    automation::WshShell shell;
    result = true;
    path = rt::Trim(path);
    try {
      shell.RegRead(path);
    } catch (...) {
      result = false;
    }
    rt::DoEvents();
  });
  return result;
}

void SaveRegSetting(const std::string& appName, const std::string& section, const std::string& key,
                    const rt::Variant& value) {
  const std::string path = MachinePath(appName, section, key);
  if (value.IsString()) {
    CreateKey(path, value.AsString());
  } else {
    CreateNumericKey(path, value);
  }
}

rt::Variant GetRegSetting(const std::string& appName, const std::string& section, const std::string& key,
                          const rt::Variant& defaultValue) {
  std::string path = MachinePath(appName, section, key);
  if (IsTrue(RegKeyExists(path))) return ReadKeyV(path);
  return defaultValue;
}

}  // namespace VYK_Registry
