#pragma once
// Regional settings: the user's locale for each kind of value, found as POSIX finds it: LC_ALL when it is
// set, else the kind's own variable (LC_NUMERIC for numbers, LC_TIME for dates and times, LC_MESSAGES for
// the language), else LANG. This is the one source of them for the whole layer: its conversions take their
// separators, names and formats from here, never from the C library's global locale, which QApplication
// sets from the same variables and which a desktop's "formats" setting splits from the language.

#include <string>

namespace rt {

enum class RegionalCategory { Numbers, DatesAndTimes, Language };

// The locale's name for a kind of value, "de_DE" say, or "C" when none is set.
std::string LocaleName(RegionalCategory category);
// The numbers' separators: "." and "," in English, "," and "." in German.
const std::string& DecimalSeparator();
const std::string& ThousandsSeparator();

namespace testing {
// Pins every kind of value to one locale ("en_US", "de_DE", "C"); an empty name goes back to the
// environment, read afresh.
void SetLocale(const std::string& name);
}  // namespace testing

}  // namespace rt
