#include "library/VYK_File_Dir.h"

#include "library/ErrorTrap.h"
#include "library/VYK_ErrorLog.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Strings.h"
#include "platform/win32/Automation.h"

namespace VYK_File_Dir {

bool DirExists(const std::string& path) {
  bool exists = false;
  Trap{"DirExists of Modul VYK_File_Dir"}([&] {
    automation::FileSystemObject fso;
    exists = fso.FolderExists(path);
    rt::DoEvents();
  });
  return exists;
}

bool FileExists(std::string& path) {
  bool exists = false;
  Trap trap{"FileExists of Modul VYK_File_Dir"};
  trap.values = [&] { VYK_ErrorLog::WriteLogValues({path, "", "", "", "", "", "", "", "", ""}); };
  trap([&] {
    path = rt::Trim(path);
    if (path.empty() || path.back() == rt::kPathSeparator) return;
    std::string found;
    // a failing search counts as "not found"
    Skip([&] {
      found = rt::Dir(path, rt::attrNormal | rt::attrReadOnly | rt::attrHidden | rt::attrSystem);
    });
    exists = !found.empty();
  });
  return exists;
}

std::string sFixDirString(const std::string& path) {
  std::string result = path;
  Trap{"sFixDirString of Modul VYK_File_Dir"}([&] {
    if (path.empty() || path.back() != rt::kPathSeparator) result = path + rt::kPathSeparator;
  });
  return result;
}

void CreateDirectoryStruct(std::string path) {
  Trap trap{"CreateDirectoryStruct of Modul VYK_File_Dir"};
  trap.values = [&] { VYK_ErrorLog::WriteLogValues({path, "", "", "", "", "", "", "", "", ""}); };
  trap([&] {
    path = sFixDirString(path);
    if (DirExists(path)) return;
    // The root is never created: "/" for an absolute path.
    size_t pos = path.front() == rt::kPathSeparator ? 1 : 0;
    automation::FileSystemObject fso;
    while (pos < path.size()) {
      const size_t next = path.find(rt::kPathSeparator, pos);
      if (next > pos) {
        const std::string partial = path.substr(0, next);
        if (!DirExists(partial)) fso.CreateFolder(partial);
      }
      pos = next + 1;
    }
  });
}

}  // namespace VYK_File_Dir
