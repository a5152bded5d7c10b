#include "library/VYK_ErrorLog.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "library/VYK_GetSystemInfos.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Strings.h"
#include "platform/win32/Kernel.h"

namespace VYK_ErrorLog {

bool ErrorMsgBoxOn = false;
const std::string ProductNo = "100";

namespace {

constexpr const char* kSupportAddress = "support@vyk.example";
// The header's first line, up to the moment the log was created.
const std::string kHeaderStart = "########  vyk error log file - created ";

LampLighter g_lamp = nullptr;
// The writers create the log folder before they write; when that fails, CreateDirectoryStruct reports the
// failure through these same writers. Such a report, made while the folder is being created, is dropped so
// that reporting never recurses. No events run while a writer works, so no other report can arrive then.
bool g_creatingFolder = false;

struct CreatingFolder {
  CreatingFolder() { g_creatingFolder = true; }
  ~CreatingFolder() { g_creatingFolder = false; }
};

std::string SharedFolder() { return VYK_File_Dir::sFixDirString(rt::App.Path()) + "../Common"; }

// The most the log holds before a new one is started. A fault met at every update cycle writes its line
// every few minutes for as long as the program runs: the log keeps the latest lines, the ones before them
// in error.log.old, and no more.
constexpr std::uintmax_t kMostLogBytes = 5 * 1024 * 1024;

// A log past its size moves to error.log.old, in place of the one there before, and a new log starts with
// its header.
void StartNewLogWhenFull() {
  std::error_code error;
  const std::filesystem::path log = ErrorLogPath();
  const std::uintmax_t size = std::filesystem::file_size(log, error);
  if (error || size <= kMostLogBytes) return;
  std::filesystem::rename(log, log.string() + ".old", error);
  if (!error) CreateErrorLog();
}

// Troubles of the platform layer itself (a damaged settings store) are logged like any error.
void LogNotice(const std::string& source, const rt::Error& e) {
  WriteErrorLog(false, rt::App.ProductName, source, 0, e.Number(), e.Description());
}

struct RegisterNoticeSink {
  RegisterNoticeSink() { rt::SetNoticeSink(&LogNotice); }
} g_registerNoticeSink;

void AppendLine(const std::string& folder, const std::function<void(int)>& write) {
  Skip([&] {
    CreatingFolder creating;
    VYK_File_Dir::CreateDirectoryStruct(folder);
  });
  int fileNumber = 0;
  Skip([&] {
    fileNumber = rt::FreeFile();
    rt::Open(ErrorLogPath(), rt::OpenMode::Append, fileNumber);
    write(fileNumber);
  });
  Skip([&] {
    if (fileNumber) rt::Close(fileNumber);
  });
}

}  // namespace

std::string ErrorLogPath() { return VYK_File_Dir::sFixDirString(rt::App.Path()) + "../Common/error.log"; }

void SetErrorLamp(LampLighter lighter) { g_lamp = lighter; }

// A log begins with its header. The start reads the machine's names (GetPCInfos) before it creates the log,
// so a read that fails there starts the log with its report: the header goes in front of what such reports
// wrote. A log that has its header is left as it is.
void CreateErrorLog() {
  std::string path;
  Skip([&] { path = ErrorLogPath(); });
  bool exists = false;
  Skip([&] { exists = VYK_File_Dir::FileExists(path); });
  std::string before;
  if (exists) {
    // only the beginning is read of a log that has its header; one that cannot be read is not written over
    std::ifstream log(path, std::ios::binary);
    std::string head(kHeaderStart.size(), '\0');
    log.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(log.gcount()));
    if (log.bad() || !log.is_open() || head == kHeaderStart) return;
    before = head + std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
    if (log.bad()) return;
  }
  int f = 0;
  Skip([&] {
    f = rt::FreeFile();
    rt::Open(path, rt::OpenMode::Output, f);
  });
  using VYK_GetSystemInfos::OSInfo;
  Skip([&] { rt::Print(f, {kHeaderStart + rt::FormatGeneralDate(rt::Now())}); });
  Skip([&] { rt::Print(f, {ProductNo, VYK_GetSystemInfos::UserID, VYK_GetSystemInfos::CompanyID}); });
  Skip([&] { rt::Print(f, {SysLanguageID(), SysLanguageName()}); });
  Skip([&] { rt::Print(f, {Country(), LanguageName(), NativeCountryName()}); });
  Skip([&] {
    rt::Print(f, {VYK_GetSystemInfos::GetSysDir(), VYK_GetSystemInfos::GetWinDir(), rt::App.Path()});
  });
  Skip([&] {
    const std::string name = VYK_GetSystemInfos::GetWinVersion();
    rt::Print(f, {OSInfo.dwMajorVersion, OSInfo.dwMinorVersion, OSInfo.dwBuildNumber, OSInfo.dwPlatformId, name});
  });
  Skip([&] { rt::Print(f, {"########  End of Header  ##########"}); });
  Skip([&] {
    if (!before.empty()) rt::PutBytes(f, before);
  });
  Skip([&] { rt::Close(f); });
}

void WriteErrorLog(bool show, const std::string& productName, const std::string& errorReport, long lineNumber,
                   long errorNumber, const std::string& description) {
  if (g_creatingFolder) return;
  Skip([&] {
    if (show && ErrorMsgBoxOn) {
      rt::MsgBox(productName + "/" + errorReport + " : " + std::to_string(lineNumber) + "\r\n\r\n" +
                     std::to_string(errorNumber) + ":" + description + "\r\n\r\n" + "Please report this error to " +
                     kSupportAddress + ", with the lines above and what you were doing at the time.",
                 rt::mbCritical | rt::mbSystemModal, productName + " Error Message");
    }
  });
  const rt::NoEvents noEvents;
  std::string line;
  Skip([&] {
    line = rt::FormatGeneralDate(rt::Now()) + "  " + productName + " : " + ProductNo + " v." +
           std::to_string(rt::App.Major) + "." + std::to_string(rt::App.Minor) + "." +
           std::to_string(rt::App.Revision) + "  " + errorReport + "  " + std::to_string(lineNumber) + "  " +
           std::to_string(errorNumber) + "  " + description;
  });
  // an error line begins a report (the values of WriteLogValues may follow it): a new log starts before it
  Skip([&] { StartNewLogWhenFull(); });
  AppendLine(SharedFolder(), [&](int f) { rt::Print(f, {line}); });
  Skip([&] {
    if (g_lamp) g_lamp();
  });
}

void WriteLogValues(std::initializer_list<rt::Variant> values) {
  if (g_creatingFolder) return;
  const rt::NoEvents noEvents;
  AppendLine(SharedFolder(), [&](int f) { rt::Print(f, values); });
}

std::string GetLocaleString(long lcType) {
  std::string result;
  Trap{"GetLocaleString of Modul VYK_ErrorLog"}([&] {
    std::string buffer(256, '\0');
    const long n = win32::GetLocaleInfoA(win32::LOCALE_USER_DEFAULT, lcType, buffer, 256);
    if (n > 0) result = rt::Left(buffer, n - 1);
  });
  return result;
}

long SysLanguageID() {
  long id = 0;
  Trap{"SysLanguageID of Modul VYK_ErrorLog"}([&] { id = win32::GetSystemDefaultLangID(); });
  return id;
}

std::string SysLanguageName() {
  std::string name;
  Trap{"SysLanguageName of Modul VYK_ErrorLog"}([&] {
    std::string buffer(50, '\0');
    const long n = win32::VerLanguageNameA(SysLanguageID(), buffer, 50);
    if (n > 0) name = rt::Left(buffer, n);
  });
  return name;
}

std::string Country() {
  std::string s;
  Trap{"Country of Modul VYK_ErrorLog"}([&] { s = GetLocaleString(win32::LOCALE_SENGCOUNTRY); });
  return s;
}

std::string LanguageName() {
  std::string s;
  Trap{"LanguageName of Modul VYK_ErrorLog"}([&] { s = GetLocaleString(win32::LOCALE_SNATIVELANGNAME); });
  return s;
}

std::string NativeCountryName() {
  std::string s;
  Trap{"NativeCountryName of Modul VYK_ErrorLog"}([&] { s = GetLocaleString(win32::LOCALE_SNATIVECTRYNAME); });
  return s;
}

}  // namespace VYK_ErrorLog
