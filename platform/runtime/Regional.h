#pragma once
// Regional settings: the user's locale, from LC_ALL or LANG (LC_NUMERIC and LC_TIME are not consulted
// separately: the program reads one set of regional settings, as its users know it).

#include <string>

namespace rt {

// The locale's name, "en_US" say, or "C" when none is set.
std::string LocaleName();
std::string DecimalSeparator();
std::string ThousandsSeparator();

namespace testing {
// Pins the regional settings to a locale ("en_US", "de_DE", "C"); an empty name goes back to the environment.
void SetLocale(const std::string& name);
}  // namespace testing

}  // namespace rt
