#pragma once
// The two automation objects the support library creates: the script host's shell object (registry access
// by full path) and the file-system object (folders).

#include <string>

#include "platform/runtime/Variant.h"

namespace automation {

// "wscript.shell": RegRead, RegWrite and RegDelete on the registry.
class WshShell {
 public:
  // A path ending in "\" names the key's default value. A REG_SZ value comes back as a text, a REG_DWORD
  // value as a Long. A missing key or value raises the registry error (-2147024894).
  rt::Variant RegRead(const std::string& path);
  // type "REG_SZ" (the default) stores the value as a text, "REG_DWORD" as a 32-bit number; missing keys
  // are created on the way. A path ending in "\" creates the key.
  void RegWrite(const std::string& path, const rt::Variant& value, const std::string& type = "REG_SZ");
  // A path ending in "\" removes the key (it must have no sub-keys), else the value.
  void RegDelete(const std::string& path);
};

// "Scripting.FileSystemObject": FolderExists and CreateFolder.
class FileSystemObject {
 public:
  // True when the folder exists; a final separator is allowed.
  bool FolderExists(const std::string& path);
  // Creates one folder: 58 when it exists, 76 when its parent does not, 70 when it may not be written.
  void CreateFolder(const std::string& path);
};

}  // namespace automation
