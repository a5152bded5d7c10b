#pragma once
// Text functions of the run time. Texts are UTF-8; lengths and positions count characters (code points; a
// byte that is no UTF-8 counts as one), positions starting at 1 as the run time's do. The text boxes count
// their caret and selection the same way.

#include <string>
#include <string_view>

namespace rt {

// Removes blanks (only the blank, character 32) at the ends.
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);
std::string LCase(std::string_view s);
std::string Left(std::string_view s, long n);
std::string Right(std::string_view s, long n);
// Mid(s, start) and Mid(s, start, length); start counts from 1 (error 5 below 1).
std::string Mid(std::string_view s, long start, long length = -1);
long Len(std::string_view s);
// Position (from 1) of `find` in `s` at or after `start`; 0 when absent.
long InStr(long start, std::string_view s, std::string_view find);
inline long InStr(std::string_view s, std::string_view find) { return InStr(1, s, find); }
// Replaces every occurrence.
std::string Replace(std::string_view s, std::string_view find, std::string_view with);
// Case-insensitive equality of ASCII letters (names in the registry, in file systems that ignore case).
bool EqualsNoCase(std::string_view a, std::string_view b);

inline const char* const vbCrLf = "\r\n";

}  // namespace rt
