#include "platform/runtime/Registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

#include "platform/runtime/App.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/FileStamp.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Strings.h"

namespace rt {
namespace {

constexpr const char* kFormat = "registry 1";
constexpr const char* kSettingsRoot = "HKEY_CURRENT_USER\\Software\\Program Settings\\";

struct NamedValue {
  std::string name;
  RegValue value;
  bool operator==(const NamedValue&) const = default;
};

struct Key {
  std::string path;
  std::map<std::string, NamedValue> values;  // by lower-case name
  bool operator==(const Key&) const = default;
};

using Store = std::map<std::string, Key>;  // by lower-case path

struct FileId {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = -1;
  timespec mtime{};
  bool operator==(const FileId& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec;
  }
};

struct State {
  std::string path;  // the file the store was loaded from
  FileId id;
  Store store;
  bool unsaved = false;  // the store could not be created on disk
};

State& Current() {
  static State s;
  return s;
}

// Counts what may have changed the store in memory: a load of the file, a change made here.
std::atomic<uint64_t> g_changes{0};

std::string Lower(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

std::string ConfigFolder() {
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') return x;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.config";
}

std::string Folder() { return ConfigFolder() + "/VYK"; }

void MakeFolders(const std::string& path) {
  std::string walked;
  size_t pos = 0;
  while (pos != std::string::npos) {
    const size_t next = path.find('/', pos + 1);
    walked = path.substr(0, next);
    if (!walked.empty() && ::mkdir(walked.c_str(), 0700) != 0 && errno != EEXIST) RaiseFromErrno(errno);
    pos = next;
  }
}

// Every read asks whether another process has saved the store meanwhile: the file's look is kept while the
// system reports no change of it. A link is followed anew each time, since what changes when a link is
// pointed elsewhere is the link, not the file looked at before.
FileId IdOf(const std::string& path) {
  FileId id;
  const FileStamp stamp = StampOf(LinkTarget(path));
  if (stamp.isFile) {
    id = FileId{static_cast<dev_t>(stamp.device), static_cast<ino_t>(stamp.inode), static_cast<off_t>(stamp.size),
                timespec{static_cast<time_t>(stamp.modifiedNs / 1000000000LL),
                         static_cast<long>(stamp.modifiedNs % 1000000000LL)}};
    return id;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) id = FileId{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  return id;
}

// What a freshly installed system holds.
void Seed(Store& store) {
  Key k{"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion", {}};
  k.values["registeredorganization"] = {"RegisteredOrganization", {RegType::String, "", 0}};
  store[Lower(k.path)] = k;
}

QByteArray Serialize(const Store& store) {
  QJsonArray keys;
  for (const auto& [lower, key] : store) {
    QJsonArray values;
    for (const auto& [lname, nv] : key.values) {
      QJsonObject v;
      v["name"] = QString::fromStdString(nv.name);
      if (nv.value.type == RegType::String) {
        v["type"] = "REG_SZ";
        v["data"] = QString::fromStdString(nv.value.text);
      } else {
        v["type"] = "REG_DWORD";
        v["data"] = static_cast<double>(nv.value.number);
      }
      values.append(v);
    }
    keys.append(QJsonObject{{"path", QString::fromStdString(key.path)}, {"values", values}});
  }
  return QJsonDocument(QJsonObject{{"format", kFormat}, {"keys", keys}}).toJson(QJsonDocument::Indented);
}

// A value or key of the file that was left out of the store, and why ("the value "X" of the key "Y": ...").
using Dropped = std::string;

Dropped DroppedValue(const std::string& key, const std::string& name, const std::string& why) {
  return "the value \"" + name + "\" of the key \"" + key + "\": " + why;
}

// What Parse made of a file: all of it, all but some values or keys (each in `dropped`), or nothing (it is
// not a store of this kind).
enum class Parsed { Whole, Partly, Not };

// One value of the file, or why it is none.
std::optional<RegValue> ValueOf(const QJsonObject& vo, std::string& why) {
  const std::string type = vo["type"].toString().toStdString();
  const QJsonValue data = vo["data"];
  if (type == "REG_SZ") {
    if (data.isString()) return RegValue{RegType::String, data.toString().toStdString(), 0};
    why = "REG_SZ data that is not a text";
  } else if (type == "REG_DWORD") {
    const double d = data.toDouble(-1);
    if (data.isDouble() && d >= 0 && d <= 4294967295.0 && d == static_cast<double>(static_cast<uint32_t>(d)))
      return RegValue{RegType::DWord, {}, static_cast<uint32_t>(d)};
    why = "REG_DWORD data that is not a whole number from 0 to 4294967295";
  } else {
    why = "its type is neither REG_SZ nor REG_DWORD";
  }
  return std::nullopt;
}

Parsed Parse(const QByteArray& bytes, Store& out, std::vector<Dropped>& dropped) {
  QJsonParseError err{};
  const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
  if (err.error != QJsonParseError::NoError || !doc.isObject()) return Parsed::Not;
  const QJsonObject root = doc.object();
  if (root["format"].toString() != kFormat || !root["keys"].isArray()) return Parsed::Not;
  // Everything sound is kept: a value that fails its check costs that value only, a key that is no key
  // that key only.
  Store store;
  for (const QJsonValue& kv : root["keys"].toArray()) {
    const QJsonObject ko = kv.toObject();
    if (!ko["path"].isString()) {
      dropped.push_back("a key without a path");
      continue;
    }
    Key key{ko["path"].toString().toStdString(), {}};
    if (!ko["values"].isArray()) {
      dropped.push_back("the key \"" + key.path + "\": its values are not a list");
      continue;
    }
    for (const QJsonValue& vv : ko["values"].toArray()) {
      const QJsonObject vo = vv.toObject();
      const std::string name = vo["name"].toString().toStdString();
      std::string why;
      if (!vo["name"].isString()) {
        dropped.push_back(DroppedValue(key.path, name, "it has no name"));
      } else if (const std::optional<RegValue> value = ValueOf(vo, why)) {
        key.values[Lower(name)] = NamedValue{name, *value};
      } else {
        dropped.push_back(DroppedValue(key.path, name, why));
      }
    }
    store[Lower(key.path)] = key;
  }
  out = std::move(store);
  return dropped.empty() ? Parsed::Whole : Parsed::Partly;
}

// What reading the store found.
enum class Found { Read, Unreadable, NotAFile, TooLarge };

// Far above any real store, which holds some hundred values.
constexpr qsizetype kLargestStore = 8 << 20;

// The store is read only when it is a regular file of at most kLargestStore bytes. That is asked of the
// opened file, which is opened without waiting: a pipe, a device or a huge file in the store's place (or
// where its link leads) is not read at all, so it can neither hold the start nor fill the memory.
Found ReadWhole(const std::string& path, QByteArray& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Found::Unreadable;
  Found found = Found::Read;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    found = Found::Unreadable;
  } else if (!S_ISREG(st.st_mode)) {
    found = Found::NotAFile;
  } else if (st.st_size > kLargestStore) {
    found = Found::TooLarge;
  } else {
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)) {
      if (n > 0) bytes.append(buf, n);
      if (bytes.size() > kLargestStore) {
        found = Found::TooLarge;
        break;
      }
    }
    if (found == Found::Read && n < 0) found = Found::Unreadable;
  }
  ::close(fd);
  if (found != Found::Read) bytes.clear();
  return found;
}

// Writes all of `bytes` to `fd`; the system's error number, 0 when all went.
int WriteAll(int fd, const QByteArray& bytes) {
  for (qsizetype done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (n >= 0)
      done += n;
    else if (errno != EINTR)
      return errno;
  }
  return 0;
}

// Writes the store to a temporary file beside the store, which then replaces the store in one step. A store
// reached through a link is written where the link leads, so the link stays.
void SaveAtomically(const std::string& storePath, const Store& store) {
  const std::string path = LinkTarget(storePath);
  const QByteArray bytes = Serialize(store);
  const std::string tmp = path + ".tmp." + std::to_string(::getpid());
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) RaiseFromErrno(errno, errPermissionDenied);
  int err = WriteAll(fd, bytes);
  if (::close(fd) != 0 && !err) err = errno;
  if (err) {
    ::unlink(tmp.c_str());
    RaiseFromErrno(err, errPermissionDenied);
  }
  ReplaceFile(tmp, path, errPermissionDenied);
}

// Temporary files beside the store `path` left by a writer that was killed while saving.
void RemoveStaleTemporaries(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = path.substr(0, slash), prefix = path.substr(slash + 1) + ".tmp.";
  DIR* d = ::opendir(folder.c_str());
  if (!d) return;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.rfind(prefix, 0) == 0) ::unlink((folder + "/" + name).c_str());
  }
  ::closedir(d);
}

// Runs `work` holding the store's lock, which every process takes before it changes the file.
template <class Work>
auto WithLock(Work&& work) {
  MakeFolders(Folder());
  const std::string lockPath = Folder() + "/registry.lock";
  const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock < 0) RaiseFromErrno(errno, errPermissionDenied);
  while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
  }
  struct Unlock {
    int fd;
    ~Unlock() { ::close(fd); }
  } unlock{lock};
  return work();
}

void Load(bool locked);

// A missing store becomes a new, seeded one. A damaged one is kept aside as it was found and replaced: by
// what could be read of it (`sound`, the values and keys in `dropped` left out) or, when nothing could, by
// a new store.
// What stands in the store's place and is no file (a pipe, a device) is never moved itself: the name in the
// store's folder is, the link when it is one.
void Renew(const std::string& path, bool exists, const QByteArray* bytes, Store* sound,
           const std::vector<Dropped>& dropped, Found found) {
  State& s = Current();
  Store store;
  if (exists) {
    const std::string kept = bytes ? bytes->toStdString() : std::string();
    const std::string aside =
        SetAside(found == Found::NotAFile ? path : LinkTarget(path), bytes ? &kept : nullptr);
    if (sound) {
      store = std::move(*sound);
      for (const Dropped& d : dropped) Notice("Registry store " + path, Error(errTypeMismatch, "Left out " + d + "."));
      Notice(
          "Registry store",
          Error(errPathFileAccess, "The settings store " + path + " held " + std::to_string(dropped.size()) +
                                       " unusable entries; it was kept as " + aside + " and the rest of it is used."));
    } else {
      const char* why = found == Found::NotAFile   ? " is no file"
                        : found == Found::TooLarge ? " is larger than any settings store"
                                                   : " could not be read";
      Notice("Registry store", Error(errPathFileAccess, "The settings store " + path + why + "; it was set aside as " +
                                                            aside + " and an empty store is used."));
    }
  }
  if (!sound) Seed(store);
  SaveAtomically(path, store);
  s.store = std::move(store);
  s.path = path;
  s.id = IdOf(path);
  ++g_changes;
}

// Brings the store in memory up to the file.
void Load(bool locked) {
  State& s = Current();
  const std::string path = Folder() + "/registry.json";
  const FileId id = IdOf(path);
  if (path == s.path && id == s.id && (id.size >= 0 || s.unsaved)) return;
  QByteArray bytes;
  Store loaded;
  std::vector<Dropped> dropped;
  const Found found = id.size >= 0 ? ReadWhole(path, bytes) : Found::Unreadable;
  const bool read = found == Found::Read;
  const Parsed parsed = read ? Parse(bytes, loaded, dropped) : Parsed::Not;
  if (parsed == Parsed::Whole) {
    s.path = path;
    s.id = id;
    s.store = std::move(loaded);
    s.unsaved = false;
    ++g_changes;
    return;
  }
  if (locked) {
    Renew(path, id.size >= 0, read ? &bytes : nullptr, parsed == Parsed::Partly ? &loaded : nullptr, dropped, found);
    return;
  }
  try {
    WithLock([] {
      Load(true);
      return 0;
    });
    s.unsaved = false;
  } catch (const Error& e) {
    // The store cannot be written: go on in memory, and say so once.
    if (!(s.path == path && s.unsaved)) Notice("Registry store " + path, e);
    s.path = path;
    s.id = IdOf(path);
    // what could be read of a damaged store is still used
    if (parsed == Parsed::Partly) {
      s.store = std::move(loaded);
    } else {
      s.store.clear();
      Seed(s.store);
    }
    s.unsaved = true;
    ++g_changes;
  }
}

// Runs a change against the newest store, saves it, and keeps the old store when the save fails.
template <class Change>
auto Modify(Change&& change) {
  return WithLock([&] {
    RemoveStaleTemporaries(registry::StorePath());
    if (const std::string target = LinkTarget(registry::StorePath()); target != registry::StorePath())
      RemoveStaleTemporaries(target);
    Load(true);
    State& s = Current();
    Store before = s.store;
    ++g_changes;
    auto result = change(s.store);
    // a change that changes nothing (a value written again as it is) leaves the file alone
    if (s.store == before && !s.unsaved && s.id.size >= 0) return result;
    try {
      SaveAtomically(s.path, s.store);
    } catch (...) {
      s.store = std::move(before);
      throw;
    }
    s.id = IdOf(s.path);
    s.unsaved = false;
    return result;
  });
}

// Programs listed under the Run key start with the desktop session: each value is mirrored as an autostart
// entry ($XDG_CONFIG_HOME/autostart/<name>.desktop), written or removed with the value.
constexpr const char* kRunKey = "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\run";

// One argument of an entry's Exec line: in double quotes, with '"', '`', '$' and '\' escaped by a backslash and
// '%' doubled (it starts a field code otherwise); then every backslash escaped again, as the entry's string
// values ask, so that a backslash of the argument is written as four.
std::string ExecArgument(const std::string& argument) {
  std::string q = "\"";
  for (char c : argument) {
    if (c == '\n' || c == '\r') continue;
    if (c == '"' || c == '`' || c == '$')
      q += std::string("\\\\") + c;
    else if (c == '\\')
      q += "\\\\\\\\";
    else if (c == '%')
      q += "%%";
    else
      q += c;
  }
  return q + "\"";
}

std::string ExecutableFile() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

// The command line of the entry. A value that names this program's file in the program folder (the
// program folder may be one named by TOLLERWICK_HOME, where no executable lies) starts this same
// executable, with the same program folder; any other value is taken as a program's path.
std::string ExecLine(const std::string& value) {
  if (value == App.Path() + (App.Path() == "/" ? "" : "/") + App.EXEName()) {
    const std::string exe = ExecutableFile();
    const char* home = std::getenv("TOLLERWICK_HOME");
    if (!exe.empty()) {
      if (home && *home) return "env " + ExecArgument(std::string("TOLLERWICK_HOME=") + home) + " " + ExecArgument(exe);
      return ExecArgument(exe);
    }
  }
  return ExecArgument(value);
}

void SyncAutostart(const std::string& lowerKey, const std::string& name, const RegValue* value) {
  if (lowerKey != kRunKey || name.empty() || name.find('/') != std::string::npos || name[0] == '.') return;
  const std::string folder = ConfigFolder() + "/autostart";
  const std::string entry = folder + "/" + name + ".desktop";
  if (!value || value->type != RegType::String || value->text.empty()) {
    ::unlink(entry.c_str());
    return;
  }
  std::string shown;
  for (char c : name)
    if (c != '\n' && c != '\r') shown += c;
  const std::string text = "[Desktop Entry]\nType=Application\nName=" + shown + "\nExec=" + ExecLine(value->text) +
                           "\nX-GNOME-Autostart-enabled=true\n";
  try {
    MakeFolders(folder);
    const std::string fresh = entry + ".new";
    FILE* f = std::fopen(fresh.c_str(), "w");
    if (!f) return;
    std::fputs(text.c_str(), f);
    const bool ok = std::fclose(f) == 0;
    if (ok) ReplaceFile(fresh, entry);
  } catch (const Error&) {
    // the session starts nothing, as when the value could not be written
  }
}

std::string JoinSettingsKey(const std::string& app, const std::string& section) {
  if (app.empty() || section.empty()) Raise(errInvalidCall);
  return kSettingsRoot + app + "\\" + section;
}

void EnsureKey(Store& store, const std::string& key) {
  // every parent exists implicitly; the key itself is recorded
  const std::string lower = Lower(key);
  if (!store.count(lower)) store[lower] = Key{key, {}};
}

bool HasSubKeys(const Store& store, const std::string& lowerKey) {
  const std::string prefix = lowerKey + "\\";
  auto it = store.lower_bound(prefix);
  return it != store.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

namespace registry {

std::string NormalizeKey(const std::string& key) {
  const size_t slash = key.find('\\');
  const std::string root = key.substr(0, slash);
  const std::string rest = slash == std::string::npos ? "" : key.substr(slash);
  static const std::pair<const char*, const char*> kRoots[] = {
      {"HKCU", "HKEY_CURRENT_USER"}, {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCR", "HKEY_CLASSES_ROOT"},
      {"HKU", "HKEY_USERS"},         {"HKCC", "HKEY_CURRENT_CONFIG"},
  };
  for (const auto& [abbrev, full] : kRoots) {
    if (EqualsNoCase(root, abbrev) || EqualsNoCase(root, full)) {
      std::string k = std::string(full) + rest;
      while (k.size() > 1 && k.back() == '\\') k.pop_back();
      return k;
    }
  }
  Raise(errInvalidCall, "Invalid root in registry key \"" + key + "\".");
}

std::optional<RegValue> Read(const std::string& key, const std::string& name) {
  const std::string k = NormalizeKey(key);
  Load(false);
  const Store& store = Current().store;
  auto it = store.find(Lower(k));
  if (it == store.end()) return std::nullopt;
  auto v = it->second.values.find(Lower(name));
  if (v == it->second.values.end()) return std::nullopt;
  return v->second.value;
}

void Write(const std::string& key, const std::string& name, const RegValue& value) {
  const std::string k = NormalizeKey(key);
  Modify([&](Store& store) {
    EnsureKey(store, k);
    store[Lower(k)].values[Lower(name)] = NamedValue{name, value};
    return true;
  });
  SyncAutostart(Lower(k), name, &value);
}

void CreateKey(const std::string& key) {
  const std::string k = NormalizeKey(key);
  Modify([&](Store& store) {
    EnsureKey(store, k);
    return true;
  });
}

bool KeyExists(const std::string& key) {
  const std::string lower = Lower(NormalizeKey(key));
  Load(false);
  const Store& store = Current().store;
  return store.count(lower) || HasSubKeys(store, lower) || lower.find('\\') == std::string::npos;
}

bool DeleteValue(const std::string& key, const std::string& name) {
  const std::string lower = Lower(NormalizeKey(key));
  {
    Load(false);
    const Store& store = Current().store;
    auto it = store.find(lower);
    if (it == store.end() || !it->second.values.count(Lower(name))) return false;
  }
  const bool removed = Modify([&](Store& store) {
    auto it = store.find(lower);
    return it != store.end() && it->second.values.erase(Lower(name)) > 0;
  });
  if (removed) SyncAutostart(lower, name, nullptr);
  return removed;
}

bool DeleteKey(const std::string& key) {
  const std::string lower = Lower(NormalizeKey(key));
  if (lower.find('\\') == std::string::npos) return false;  // a root is never removed
  {
    Load(false);
    const Store& store = Current().store;
    if (!store.count(lower) || HasSubKeys(store, lower)) return false;
  }
  return Modify([&](Store& store) {
    if (!store.count(lower) || HasSubKeys(store, lower)) return false;
    store.erase(lower);
    return true;
  });
}

std::string StorePath() { return Folder() + "/registry.json"; }

uint64_t Changes() { return g_changes; }

}  // namespace registry

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
  const std::optional<RegValue> v = registry::Read(JoinSettingsKey(appName, section), key);
  if (!v) return defaultValue;
  return v->type == RegType::String ? v->text : std::to_string(v->number);
}

void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value) {
  if (key.empty()) Raise(errInvalidCall);
  registry::Write(JoinSettingsKey(appName, section), key, RegValue{RegType::String, value, 0});
}

void DeleteSetting(const std::string& appName, const std::string& section, const std::string& key) {
  if (!registry::DeleteValue(JoinSettingsKey(appName, section), key)) Raise(errInvalidCall);
}

}  // namespace rt
