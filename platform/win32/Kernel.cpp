#include "platform/win32/Kernel.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <QLocale>
#include <cstdlib>
#include <cstring>

#include "platform/runtime/RegionalQt.h"

namespace win32 {
namespace {

// Copies `text` and a NUL into the buffer when both fit in `capacity` characters.
bool CopyOut(const std::string& text, std::string& buffer, long capacity) {
  if (capacity < 0 || static_cast<size_t>(capacity) < text.size() + 1) return false;
  if (buffer.size() < text.size() + 1) buffer.resize(text.size() + 1);
  std::memcpy(buffer.data(), text.data(), text.size());
  buffer[text.size()] = '\0';
  return true;
}

long FolderCall(const std::string& folder, std::string& buffer, long size) {
  if (!CopyOut(folder, buffer, size)) return static_cast<long>(folder.size() + 1);
  return static_cast<long>(folder.size());
}

struct LangEntry {
  int id;
  QLocale::Language language;
  QLocale::Territory territory;
};

const LangEntry kLanguages[] = {
    {0x0409, QLocale::English, QLocale::UnitedStates}, {0x0809, QLocale::English, QLocale::UnitedKingdom},
    {0x0C09, QLocale::English, QLocale::Australia},    {0x1009, QLocale::English, QLocale::Canada},
    {0x1409, QLocale::English, QLocale::NewZealand},   {0x1809, QLocale::English, QLocale::Ireland},
    {0x1C09, QLocale::English, QLocale::SouthAfrica},  {0x4009, QLocale::English, QLocale::India},
    {0x0407, QLocale::German, QLocale::Germany},       {0x0807, QLocale::German, QLocale::Switzerland},
    {0x0C07, QLocale::German, QLocale::Austria},       {0x1007, QLocale::German, QLocale::Luxembourg},
    {0x040C, QLocale::French, QLocale::France},        {0x080C, QLocale::French, QLocale::Belgium},
    {0x0C0C, QLocale::French, QLocale::Canada},        {0x100C, QLocale::French, QLocale::Switzerland},
    {0x0410, QLocale::Italian, QLocale::Italy},        {0x0810, QLocale::Italian, QLocale::Switzerland},
    {0x0C0A, QLocale::Spanish, QLocale::Spain},        {0x080A, QLocale::Spanish, QLocale::Mexico},
    {0x0413, QLocale::Dutch, QLocale::Netherlands},    {0x0813, QLocale::Dutch, QLocale::Belgium},
    {0x0416, QLocale::Portuguese, QLocale::Brazil},    {0x0816, QLocale::Portuguese, QLocale::Portugal},
    {0x041D, QLocale::Swedish, QLocale::Sweden},       {0x0406, QLocale::Danish, QLocale::Denmark},
    {0x0414, QLocale::NorwegianBokmal, QLocale::Norway}, {0x040B, QLocale::Finnish, QLocale::Finland},
    {0x0415, QLocale::Polish, QLocale::Poland},        {0x0405, QLocale::Czech, QLocale::CzechRepublic},
    {0x040E, QLocale::Hungarian, QLocale::Hungary},    {0x0419, QLocale::Russian, QLocale::Russia},
    {0x041F, QLocale::Turkish, QLocale::Turkey},       {0x0408, QLocale::Greek, QLocale::Greece},
    {0x0411, QLocale::Japanese, QLocale::Japan},       {0x0412, QLocale::Korean, QLocale::SouthKorea},
    {0x0804, QLocale::Chinese, QLocale::China},        {0x0404, QLocale::Chinese, QLocale::Taiwan},
};

}  // namespace

long GetUserNameA(std::string& buffer, long& size) {
  std::string name;
  if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) name = pw->pw_name;
  if (name.empty())
    if (const char* u = std::getenv("USER")) name = u;
  if (name.empty() || !CopyOut(name, buffer, size)) {
    size = static_cast<long>(name.size() + 1);
    return 0;
  }
  size = static_cast<long>(name.size() + 1);
  return 1;
}

long GetSystemDirectoryA(std::string& buffer, long size) { return FolderCall("/usr/lib", buffer, size); }

long GetWindowsDirectoryA(std::string& buffer, long size) { return FolderCall("/usr", buffer, size); }

long GetVersionExA(OSVERSIONINFO& info) {
  if (info.dwOSVersionInfoSize != 148) return 0;
  utsname u{};
  if (::uname(&u) != 0) return 0;
  long parts[3] = {0, 0, 0};
  const char* p = u.release;
  for (long& part : parts) {
    char* end = nullptr;
    part = std::strtol(p, &end, 10);
    if (end == p || *end != '.') {
      p = end;
      break;
    }
    p = end + 1;
  }
  info.dwMajorVersion = parts[0];
  info.dwMinorVersion = parts[1];
  info.dwBuildNumber = parts[2];
  info.dwPlatformId = 2;
  std::string text = std::string(u.sysname) + " " + u.release;
  text.resize(128, '\0');
  info.szCSDVersion = text;
  return 1;
}

long GetLocaleInfoA(long locale, long lcType, std::string& buffer, long cchData) {
  if (locale != LOCALE_USER_DEFAULT && locale != LOCALE_SYSTEM_DEFAULT) return 0;
  const QLocale& l = rt::detail::LanguageLocale();
  if (l.language() == QLocale::C) return 0;
  const QLocale& numbers = rt::detail::NumberLocale();
  QString text;
  switch (lcType) {
    case LOCALE_SENGCOUNTRY: text = QLocale::territoryToString(l.territory()); break;
    case LOCALE_SENGLANGUAGE: text = QLocale::languageToString(l.language()); break;
    case LOCALE_SNATIVELANGNAME: text = l.nativeLanguageName(); break;
    case LOCALE_SNATIVECTRYNAME: text = l.nativeTerritoryName(); break;
    case LOCALE_SDECIMAL: text = numbers.decimalPoint(); break;
    case LOCALE_STHOUSAND: text = numbers.groupSeparator(); break;
    default: return 0;
  }
  const std::string s = text.toStdString();
  if (s.empty()) return 0;
  if (cchData == 0) return static_cast<long>(s.size() + 1);
  return CopyOut(s, buffer, cchData) ? static_cast<long>(s.size() + 1) : 0;
}

int GetSystemDefaultLangID() {
  const QLocale& l = rt::detail::LanguageLocale();
  for (const LangEntry& e : kLanguages)
    if (e.language == l.language() && e.territory == l.territory()) return e.id;
  // another country: the language's primary identifier with the default sub-language
  for (const LangEntry& e : kLanguages)
    if (e.language == l.language()) return (e.id & 0x3FF) | 0x400;
  return 0;
}

long VerLanguageNameA(long langId, std::string& buffer, long size) {
  std::string name;
  if (langId == 0) name = "Language Neutral";
  for (const LangEntry& e : kLanguages) {
    if (e.id == langId) {
      name = (QLocale::languageToString(e.language) + " (" + QLocale::territoryToString(e.territory) + ")")
                 .toStdString();
      break;
    }
    if ((e.id & 0x3FF) == (langId & 0x3FF) && (langId & ~0x3FF) == 0x400 && name.empty())
      name = QLocale::languageToString(e.language).toStdString();
  }
  if (name.empty() || !CopyOut(name, buffer, size)) return 0;
  return static_cast<long>(name.size());
}

}  // namespace win32
