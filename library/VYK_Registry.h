#pragma once
// Single registry values by their full path ("HKEY_LOCAL_MACHINE\Software\...\Name"), and per-machine
// settings below "HKEY_LOCAL_MACHINE\Software\". Failures are logged, never raised to the caller.

#include <string>

#include "platform/runtime/Variant.h"

namespace VYK_Registry {

void CreateKey(const std::string& path, const std::string& value);
void CreateNumericKey(const std::string& path, const rt::Variant& value);
std::string ReadKey(const std::string& path);
rt::Variant ReadKeyV(const std::string& path);
void DeleteKey(std::string& path);
// Trims `path` in place; True when the value can be read, False when not, Empty when the test itself failed.
rt::Variant RegKeyExists(std::string& path);
void SaveRegSetting(const std::string& appName, const std::string& section, const std::string& key,
                    const rt::Variant& value);
rt::Variant GetRegSetting(const std::string& appName, const std::string& section, const std::string& key,
                          const rt::Variant& defaultValue);

}  // namespace VYK_Registry
