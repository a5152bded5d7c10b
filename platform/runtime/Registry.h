#pragma once
// The registry of this platform: one store of our own, kept in a file under the user's configuration folder
// ($XDG_CONFIG_HOME/VYK/registry.json, readable by the user only). Keys are named by their full path
// ("HKEY_LOCAL_MACHINE\Software\..."), with "\" between the parts; key and value names are compared without
// regard to case. Each change is saved at once and atomically: the file holds either the old or the new store.
// Processes of the same user share the store; a change made by one is seen by the others.

#include <cstdint>
#include <optional>
#include <string>

namespace rt {

enum class RegType { String, DWord };

struct RegValue {
  RegType type = RegType::String;
  std::string text;     // String
  uint32_t number = 0;  // DWord
  bool operator==(const RegValue&) const = default;
};

namespace registry {

// The key path with its root written out in full ("HKLM\x" -> "HKEY_LOCAL_MACHINE\x"); 5 for an unknown root.
std::string NormalizeKey(const std::string& key);
// The value `name` of `key` ("" names the key's default value), or nothing when the key or value is missing.
std::optional<RegValue> Read(const std::string& key, const std::string& name);
// Creates the key with every missing parent and stores the value. 70 or 61 when the store cannot be saved;
// the store is then unchanged.
void Write(const std::string& key, const std::string& name, const RegValue& value);
// Creates the key with every missing parent.
void CreateKey(const std::string& key);
bool KeyExists(const std::string& key);
// Removes a value; false when there was none.
bool DeleteValue(const std::string& key, const std::string& name);
// Removes a key that has no sub-keys; false when it does not exist or has sub-keys.
bool DeleteKey(const std::string& key);
// Where the store lives.
std::string StorePath();
// A number that moves whenever the store this process holds may have changed: a change made here, or the
// file loaded again. It tells a reader whose copy is still what Read would give, as far as this process
// has looked; a change another process saves shows in it only once this process reads the store again.
uint64_t Changes();

}  // namespace registry

// The run time's per-user settings store, a view of the registry below
// "HKEY_CURRENT_USER\Software\Program Settings\<application>\<section>".
std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue = {});
void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value);
void DeleteSetting(const std::string& appName, const std::string& section, const std::string& key);

}  // namespace rt
