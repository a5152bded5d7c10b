#include "platform/win32/Automation.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>

#include "platform/runtime/Error.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/Strings.h"

namespace automation {
namespace {

struct SplitPath {
  std::string key;
  std::string name;  // "" for the default value
};

SplitPath Split(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) rt::Raise(rt::errInvalidCall, "Invalid root in registry key \"" + path + "\".");
  return {path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

rt::Variant WshShell::RegRead(const std::string& path) {
  const SplitPath p = Split(path);
  const bool keyOnly = p.name.empty();
  const std::optional<rt::RegValue> v = rt::registry::Read(p.key, p.name);
  if (!v) {
    if (keyOnly && rt::registry::KeyExists(p.key)) return std::string();
    rt::Raise(rt::errRegistryNotFound, "Unable to open registry key \"" + path + "\" for reading.");
  }
  if (v->type == rt::RegType::String) return v->text;
  return static_cast<long>(static_cast<int32_t>(v->number));
}

void WshShell::RegWrite(const std::string& path, const rt::Variant& value, const std::string& type) {
  const SplitPath p = Split(path);
  rt::RegValue v;
  if (rt::EqualsNoCase(type, "REG_SZ") || rt::EqualsNoCase(type, "REG_EXPAND_SZ")) {
    v = {rt::RegType::String, value.ToString(), 0};
  } else if (rt::EqualsNoCase(type, "REG_DWORD")) {
    const double d = std::nearbyint(value.ToDouble());  // 13 for a text that is not a number
    if (d < -2147483648.0 || d > 4294967295.0) rt::Raise(rt::errOverflow);
    v = {rt::RegType::DWord, {}, d < 0 ? static_cast<uint32_t>(static_cast<int32_t>(d)) : static_cast<uint32_t>(d)};
  } else {
    rt::Raise(rt::errInvalidCall);
  }
  try {
    if (p.name.empty() && path.back() == '\\') {
      rt::registry::CreateKey(p.key);
      if (!value.IsEmpty() && !value.ToString().empty()) rt::registry::Write(p.key, "", v);
    } else {
      rt::registry::Write(p.key, p.name, v);
    }
  } catch (const rt::Error& e) {
    rt::Raise(e.Number(), "Unable to save registry key \"" + path + "\": " + e.Description());
  }
}

void WshShell::RegDelete(const std::string& path) {
  const SplitPath p = Split(path);
  const bool removed = p.name.empty() ? rt::registry::DeleteKey(p.key) : rt::registry::DeleteValue(p.key, p.name);
  if (!removed) rt::Raise(rt::errRegistryNotFound, "Unable to remove registry key \"" + path + "\".");
}

bool FileSystemObject::FolderExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void FileSystemObject::CreateFolder(const std::string& path) {
  if (path.empty()) rt::Raise(rt::errInvalidCall);
  if (::mkdir(path.c_str(), 0777) != 0) {
    const int err = errno;
    if (err == ENOENT) rt::Raise(rt::errPathNotFound);
    rt::RaiseFromErrno(err, rt::errPathFileAccess);
  }
}

}  // namespace automation
