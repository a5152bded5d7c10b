#include "library/VYK_GetSystemInfos.h"

#include "library/ErrorTrap.h"
#include "library/VYK_Registry.h"
#include "platform/runtime/Strings.h"

namespace VYK_GetSystemInfos {

std::string RegAppName;
std::string UserID;
std::string CompanyID;
win32::OSVERSIONINFO OSInfo;

namespace {
Trap Here(const char* name) { return Trap{std::string(name) + " of Modul VYK_GetSystemInfos"}; }
}  // namespace

void GetPCInfos() {
  Trap trap = Here("GetPCInfos");
  trap([&] { UserID = rt::UCase(rt::Trim(ClipNull(GetUser()))); });
  trap([&] {
    if (UserID.empty()) UserID = "ADMIN";
  });
  trap([&] { CompanyID = rt::UCase(rt::Trim(ClipNull(GetCompany()))); });
  trap([&] {
    if (CompanyID.empty() || rt::InStr(CompanyID, "HKEY_LOCAL_MACHINE") > 0) CompanyID = "NONE";
  });
}

std::string GetUser() {
  std::string result;
  Trap trap = Here("GetUser");
  trap([&] {
    std::string buffer(25, '\0');
    long size = 25;
    if (win32::GetUserNameA(buffer, size) != 0) result = buffer;
  });
  return result;
}

std::string GetCompany() {
  std::string result;
  Trap trap = Here("GetCompany");
  trap([&] { GetWinVersion(); });
  trap([&] {
    std::string path = OSInfo.dwPlatformId == 2
                           ? "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\RegisteredOrganization"
                           : "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RegisteredOrganization";
    result = VYK_Registry::ReadKey(path);
  });
  return result;
}

std::string ClipNull(const std::string& text) {
  std::string result;
  Here("ClipNull")([&] {
    result.reserve(text.size());
    for (char c : text)
      if (c != '\0') result += c;
  });
  return result;
}

std::string GetSysDir() {
  std::string result;
  Here("GetSysDir")([&] {
    std::string buffer(255, ' ');
    const long n = win32::GetSystemDirectoryA(buffer, 255);
    result = rt::Left(buffer, n);
  });
  return result;
}

std::string GetWinDir() {
  std::string result;
  Here("GetWinDir")([&] {
    std::string buffer(255, ' ');
    const long n = win32::GetWindowsDirectoryA(buffer, 255);
    result = rt::Left(buffer, n);
  });
  return result;
}

std::string WindowsName(const win32::OSVERSIONINFO& info) {
  const long major = info.dwMajorVersion, minor = info.dwMinorVersion;
  switch (info.dwPlatformId) {
    case 1: {
      const long build = info.dwBuildNumber & 0xFFFF;
      if (minor < 10) {
        if (build == 950) return "Windows 95";
        if (build >= 951 && build <= 1080) return "Windows 95 SP1";
        return "Windows 95 OSR2";
      }
      if (minor == 10) {
        if (build == 1998) return "Windows 98";
        if (build >= 1999 && build <= 2182) return "Windows 98 SP1";
        if (build >= 2183) return "Windows 98 SE";
        return "";
      }
      return "Windows ME";
    }
    case 2:
      if (major == 3) return "Windows NT 3.51";
      if (major == 4) return "Windows NT 4.0";
      if (major == 5) return minor == 0 ? "Windows 2000" : "Windows XP";
      return "";
    case 3:
      if (major == 1) return "Windows CE 1.0";
      if (major == 2) return minor == 0 ? "Windows CE 2.0" : "Windows CE 2.1";
      return "Windows CE 3.0";
    default: return "Unable To Get Windows Version";
  }
}

std::string GetWinVersion() {
  std::string name;
  Trap trap = Here("GetWinVersion");
  trap([&] {
    OSInfo.dwOSVersionInfoSize = 148;
    OSInfo.szCSDVersion = std::string(128, ' ');
    win32::GetVersionExA(OSInfo);
  });
  trap([&] { name = WindowsName(OSInfo); });
  return name;
}

}  // namespace VYK_GetSystemInfos
