#pragma once
// What the machine tells about its user, its folders and its version.

#include <string>

#include "platform/win32/Kernel.h"

namespace VYK_GetSystemInfos {

// The product name at the base of every settings path ("Brennavale", set first by Main).
extern std::string RegAppName;
// The user's login name in upper case ("ADMIN" when there is none) and the registered organisation
// ("NONE" when there is none).
extern std::string UserID;
extern std::string CompanyID;
// The version record that GetWinVersion fills.
extern win32::OSVERSIONINFO OSInfo;

void GetPCInfos();
std::string GetUser();
std::string GetCompany();
std::string ClipNull(const std::string& text);
std::string GetSysDir();
std::string GetWinDir();
std::string GetWinVersion();
// The name GetWinVersion gives for a version record.
std::string WindowsName(const win32::OSVERSIONINFO& info);

}  // namespace VYK_GetSystemInfos
