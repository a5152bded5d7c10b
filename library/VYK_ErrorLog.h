#pragma once
// The error log: ..\Common\error.log beside the program folder, a header written once and one line per error.

#include <initializer_list>
#include <string>

#include "platform/runtime/Variant.h"

namespace VYK_ErrorLog {

// Shows a message box for each reported error when true; this program leaves it false.
extern bool ErrorMsgBoxOn;
// The program's number in the maker's version list and in every error line.
extern const std::string ProductNo;

// The log file's full name.
std::string ErrorLogPath();

void CreateErrorLog();
void WriteErrorLog(bool show, const std::string& productName, const std::string& errorReport, long lineNumber,
                   long errorNumber, const std::string& description);
// One line of up to ten values: texts exactly, numbers with the blanks of Print, missing values as nothing.
void WriteLogValues(std::initializer_list<rt::Variant> values);

// The main window hands over the statements that light its error lamp; until then there is no lamp to light.
using LampLighter = void (*)();
void SetErrorLamp(LampLighter lighter);

long SysLanguageID();
std::string SysLanguageName();
std::string Country();
std::string LanguageName();
std::string NativeCountryName();
std::string GetLocaleString(long lcType);

}  // namespace VYK_ErrorLog
