#pragma once
// The system calls the support library makes for user, folder, version and locale information, answered
// from this system. Text buffers are passed as the caller's string, which the call fills in place, as it
// would fill a character buffer; results count characters as the calls define.

#include <string>

namespace win32 {

// The user's login name followed by a NUL; size receives the length with the NUL. 0 when it does not fit.
long GetUserNameA(std::string& buffer, long& size);
// The folders of system libraries and of the system: the length copied, or the length needed when the
// buffer is too small.
long GetSystemDirectoryA(std::string& buffer, long size);
long GetWindowsDirectoryA(std::string& buffer, long size);

struct OSVERSIONINFO {
  long dwOSVersionInfoSize = 0;
  long dwMajorVersion = 0;
  long dwMinorVersion = 0;
  long dwBuildNumber = 0;
  long dwPlatformId = 0;
  std::string szCSDVersion;  // 128 characters
};
// Fills the record from the kernel's version (major, minor, patch as the build number) when its size is 148;
// the platform id is 2. Returns 0 when the size is wrong.
long GetVersionExA(OSVERSIONINFO& info);

// Locale information types answered.
enum : long {
  LOCALE_USER_DEFAULT = 0x400,
  LOCALE_SYSTEM_DEFAULT = 0x800,
  LOCALE_SNATIVELANGNAME = 0x4,
  LOCALE_SNATIVECTRYNAME = 0x8,
  LOCALE_SDECIMAL = 0xE,
  LOCALE_STHOUSAND = 0xF,
  LOCALE_SENGLANGUAGE = 0x1001,
  LOCALE_SENGCOUNTRY = 0x1002,
};
// The text of one item of the user's regional settings, followed by a NUL; the number of characters with
// the NUL, or 0 when the item has no answer (an unknown type, the "C" locale, a buffer too small).
// With cchData 0 only the length needed is returned.
long GetLocaleInfoA(long locale, long lcType, std::string& buffer, long cchData);
// The language identifier of the regional settings (0x0409 for English, United States; 0 when unknown).
int GetSystemDefaultLangID();
// The English name of a language identifier, "English (United States)"; the length copied, or 0.
long VerLanguageNameA(long langId, std::string& buffer, long size);

}  // namespace win32
