#pragma once
// Conversions of the run time: numbers and dates from and to text, by the regional settings (Regional.h),
// never by the C library's locale.

#include <cstdint>
#include <string>

#include "platform/runtime/Variant.h"

namespace rt {

// To a 16-bit or 32-bit integer: halves round to the even neighbour (2.5 -> 2, 3.5 -> 4);
// out of range raises 6 (Overflow), a text that is not a number raises 13 (Type mismatch).
int16_t CInt(const Variant& v);
int32_t CLng(const Variant& v);
// To single and double precision; a text is read with the locale's decimal and thousands separators.
float CSng(const Variant& v);
double CDbl(const Variant& v);
// True when the value is a number or a text that reads as one.
bool IsNumeric(const Variant& v);
// The run time's text of a value ("1560" for the single 1560, "True", the general date for a date).
std::string CStr(const Variant& v);

// Numbers in the fixed form of files and quote servers, whatever the regional settings: "." before the
// fraction, "," between groups of the whole part. Reading raises 13 when the text is not a number; the text
// has as many significant digits as asked for ("1234.5", "1.234568E+08").
double CDblFixed(const std::string& text);
std::string FixedNumberText(double value, int significantDigits);

// Reads a date and time, a date or a time of day in the locale's formats; 13 when it cannot.
DateTime CDate(const Variant& v);
bool IsDate(const Variant& v);
// The general date format: short date and long time; a moment at midnight shows the date only,
// a moment on day 0 the time only.
std::string FormatGeneralDate(DateTime d);
// A date and time by a pattern of Qt's letters ("ddd, dd MMM yyyy HH:mm:ss"); day and month names are
// the regional settings' own.
std::string FormatDate(DateTime d, const std::string& qtStylePattern);

DateTime DateSerial(int year, int month, int day);
DateTime TimeSerial(int hour, int minute, int second);
int Year(DateTime d);
int Month(DateTime d);
int Day(DateTime d);
int Hour(DateTime d);
int Minute(DateTime d);
int Second(DateTime d);
// 1 for Sunday to 7 for Saturday.
int Weekday(DateTime d);
// The number of hour boundaries between two moments (the run time's DateDiff("h", a, b)).
long DateDiffHours(DateTime a, DateTime b);

namespace detail {
// Reads a number as the run time does, with the regional separators or the ones given; false when the text
// is not one.
bool ParseNumber(const std::string& text, double& out);
bool ParseNumber(const std::string& text, double& out, const std::string& decimalPoint,
                 const std::string& groupSeparator);
std::string NumberText(double value, int significantDigits);
std::string NumberText(double value, int significantDigits, const std::string& decimalPoint);
}  // namespace detail

}  // namespace rt
