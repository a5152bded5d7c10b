#include "platform/runtime/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <cerrno>
#include <cstdio>
#include <map>

#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"

namespace rt {
namespace {

struct OpenFile {
  OpenMode mode;
  std::string path;
  std::string data;  // Input: the whole file
  size_t pos = 0;
  FILE* out = nullptr;  // Output and Append
};

std::map<int, OpenFile>& Table() {
  static std::map<int, OpenFile> files;
  return files;
}

OpenFile& Get(int fileNumber) {
  auto it = Table().find(fileNumber);
  if (it == Table().end()) Raise(errBadFileNumber);
  return it->second;
}

OpenFile& GetInput(int fileNumber) {
  OpenFile& f = Get(fileNumber);
  if (f.mode != OpenMode::Input) Raise(errBadFileMode);
  return f;
}

OpenFile& GetOutput(int fileNumber) {
  OpenFile& f = Get(fileNumber);
  if (f.mode == OpenMode::Input) Raise(errBadFileMode);
  return f;
}

bool FolderOf(const std::string& path, std::string& folder) {
  const size_t slash = path.find_last_of('/');
  folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// ENOENT means the file is missing, or its folder is.
[[noreturn]] void RaiseOpenError(const std::string& path, int err, bool reading) {
  std::string folder;
  if (err == ENOENT && !FolderOf(path, folder)) Raise(errPathNotFound);
  if (err == ENOENT && !reading) Raise(errPathNotFound);
  if (err == EISDIR) Raise(errPathFileAccess);
  RaiseFromErrno(err);
}

void WriteRaw(OpenFile& f, const std::string& text) {
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f.out) != text.size()) {
    const int err = errno;
    RaiseFromErrno(err, errDeviceIO);
  }
}

std::string PrintItem(const Variant& v) {
  if (v.IsNumber()) {
    const std::string n = CStr(v);
    return (n[0] == '-' ? n : " " + n) + " ";
  }
  return CStr(v);
}

std::string WriteItem(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty: return {};
    case VarType::String: return "\"" + v.AsString() + "\"";
    case VarType::Boolean: return v.AsBoolean() ? "#TRUE#" : "#FALSE#";
    case VarType::Date: {
      const DateTime d = v.AsDate();
      char buf[40];
      std::snprintf(buf, sizeof buf, "#%04d-%02d-%02d %02d:%02d:%02d#", Year(d), Month(d), Day(d), Hour(d),
                    Minute(d), Second(d));
      return buf;
    }
    default: {
      // Write # always uses the point, whatever the regional settings.
      return FixedNumberText(v.ToDouble(), v.Type() == VarType::Single ? 7 : 15);
    }
  }
}

bool AtLineEnd(const OpenFile& f) { return f.pos < f.data.size() && (f.data[f.pos] == '\r' || f.data[f.pos] == '\n'); }

void SkipLineEnd(OpenFile& f) {
  if (f.pos < f.data.size() && f.data[f.pos] == '\r') ++f.pos;
  if (f.pos < f.data.size() && f.data[f.pos] == '\n') ++f.pos;
}

}  // namespace

int FreeFile() {
  for (int n = 1; n <= 255; ++n)
    if (!Table().count(n)) return n;
  Raise(errTooManyFiles);
}

void Open(const std::string& path, OpenMode mode, int fileNumber) {
  if (fileNumber < 1 || fileNumber > 511) Raise(errBadFileNumber);
  if (Table().count(fileNumber)) Raise(errFileAlreadyOpen);
  if (path.empty()) Raise(errBadFileNumber);
  OpenFile f{mode, path, {}, 0, nullptr};
  if (mode == OpenMode::Input) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) RaiseOpenError(path, errno, true);
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) f.data.append(buf, n);
    const bool failed = std::ferror(in);
    std::fclose(in);
    if (failed) Raise(errDeviceIO);
  } else {
    f.out = std::fopen(path.c_str(), mode == OpenMode::Output ? "wb" : "ab");
    if (!f.out) RaiseOpenError(path, errno, false);
  }
  Table().emplace(fileNumber, std::move(f));
}

void Close(int fileNumber) {
  auto it = Table().find(fileNumber);
  if (it == Table().end()) return;  // closing a number that is not open does nothing
  FILE* out = it->second.out;
  Table().erase(it);
  if (out) {
    const bool flushed = std::fflush(out) == 0;
    const int err = errno;
    const bool closed = std::fclose(out) == 0;
    if (!flushed || !closed) RaiseFromErrno(flushed ? errno : err, errDeviceIO);
  }
}

void Reset() {
  while (!Table().empty()) {
    try {
      Close(Table().begin()->first);
    } catch (const Error&) {
      // closing the rest matters more than the one that failed
    }
  }
}

bool Eof(int fileNumber) {
  OpenFile& f = Get(fileNumber);
  return f.mode != OpenMode::Input || f.pos >= f.data.size();
}

long Lof(int fileNumber) {
  OpenFile& f = Get(fileNumber);
  if (f.mode == OpenMode::Input) return static_cast<long>(f.data.size());
  std::fflush(f.out);
  struct stat st {};
  return ::fstat(fileno(f.out), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

std::string LineInput(int fileNumber) {
  OpenFile& f = GetInput(fileNumber);
  if (f.pos >= f.data.size()) Raise(errInputPastEnd);
  const size_t end = f.data.find_first_of("\r\n", f.pos);
  std::string line = f.data.substr(f.pos, end == std::string::npos ? std::string::npos : end - f.pos);
  f.pos = end == std::string::npos ? f.data.size() : end;
  SkipLineEnd(f);
  return line;
}

std::string InputItem(int fileNumber) {
  OpenFile& f = GetInput(fileNumber);
  auto blank = [&] { return f.pos < f.data.size() && (f.data[f.pos] == ' ' || f.data[f.pos] == '\t'); };
  while (blank()) ++f.pos;
  if (f.pos >= f.data.size()) Raise(errInputPastEnd);
  // an empty line is an empty item
  if (AtLineEnd(f)) {
    SkipLineEnd(f);
    return {};
  }
  std::string item;
  if (f.data[f.pos] == '"') {
    const size_t close = f.data.find('"', f.pos + 1);
    item = f.data.substr(f.pos + 1, close == std::string::npos ? std::string::npos : close - f.pos - 1);
    f.pos = close == std::string::npos ? f.data.size() : close + 1;
    // whatever stands between the closing quote and the delimiter is dropped
    while (f.pos < f.data.size() && f.data[f.pos] != ',' && !AtLineEnd(f)) ++f.pos;
  } else {
    const size_t end = f.data.find_first_of(",\r\n", f.pos);
    item = f.data.substr(f.pos, end == std::string::npos ? std::string::npos : end - f.pos);
    f.pos = end == std::string::npos ? f.data.size() : end;
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
  }
  if (f.pos < f.data.size() && f.data[f.pos] == ',') {
    ++f.pos;
  } else {
    SkipLineEnd(f);
  }
  return item;
}

std::string InputChars(int fileNumber, long n) {
  OpenFile& f = GetInput(fileNumber);
  if (n < 0) Raise(errInvalidCall);
  if (f.pos >= f.data.size() && n > 0) Raise(errInputPastEnd);
  std::string s = f.data.substr(f.pos, static_cast<size_t>(n));
  f.pos += s.size();
  return s;
}

void Print(int fileNumber, std::initializer_list<Variant> items) {
  OpenFile& f = GetOutput(fileNumber);
  std::string line;
  for (const Variant& v : items) line += PrintItem(v);
  WriteRaw(f, line + "\r\n");
}

void PutBytes(int fileNumber, const std::string& bytes) { WriteRaw(GetOutput(fileNumber), bytes); }

void WriteItems(int fileNumber, std::initializer_list<Variant> items) {
  OpenFile& f = GetOutput(fileNumber);
  std::string line;
  bool first = true;
  for (const Variant& v : items) {
    if (!first) line += ',';
    line += WriteItem(v);
    first = false;
  }
  WriteRaw(f, line + "\r\n");
}

std::string Dir(const std::string& pattern, int attributes) {
  if (pattern.empty()) return {};
  const size_t slash = pattern.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : pattern.substr(0, slash));
  const std::string name = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (name.empty()) return {};

  auto accept = [&](const std::string& entry) {
    if (entry == "." || entry == "..") return false;
    if (entry[0] == '.' && !(attributes & attrHidden)) return false;
    struct stat st {};
    if (::stat((folder + "/" + entry).c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) return (attributes & attrDirectory) != 0;
    return S_ISREG(st.st_mode);
  };

  if (name.find_first_of("*?") == std::string::npos) return accept(name) ? name : std::string();
  DIR* d = ::opendir(folder.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = ::readdir(d)) {
    const std::string entry = e->d_name;
    if (::fnmatch(name.c_str(), entry.c_str(), 0) == 0 && accept(entry)) {
      found = entry;
      break;
    }
  }
  ::closedir(d);
  return found;
}

long FileLen(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) RaiseOpenError(path, errno, true);
  return static_cast<long>(st.st_size);
}

void ReplaceFile(const std::string& from, const std::string& to, long otherwise) {
  int err = 0;
  const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    err = errno;
  } else {
    if (::fsync(fd) != 0) err = errno;
    ::close(fd);
  }
  if (!err && ::rename(from.c_str(), to.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(from.c_str());
    RaiseFromErrno(err, otherwise);
  }
  std::string folder;
  FolderOf(to, folder);
  if (const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

std::string LinkTarget(const std::string& path) {
  std::string name = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
    std::string to(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(name.c_str(), to.data(), to.size());
    if (n <= 0 || static_cast<size_t>(n) >= to.size()) return name;
    to.resize(static_cast<size_t>(n));
    name = to[0] == '/' ? to : name.substr(0, name.find_last_of('/') + 1) + to;
  }
  return name;
}

std::string SetAside(const std::string& path, const std::string* bytes) {
  const std::string stem = path + ".damaged-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss").toStdString();
  std::string aside;
  int fd = -1;
  for (int n = 1; fd < 0; ++n) {
    aside = n == 1 ? stem : stem + "-" + std::to_string(n);
    fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && (errno != EEXIST || n >= 1000)) RaiseFromErrno(errno, errPermissionDenied);
  }
  int err = 0;
  for (size_t done = 0; bytes && !err && done < bytes->size();) {
    const ssize_t n = ::write(fd, bytes->data() + done, bytes->size() - done);
    if (n >= 0)
      done += static_cast<size_t>(n);
    else if (errno != EINTR)
      err = errno;
  }
  if (bytes && !err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  // a file that cannot be read is moved over the name taken for it
  if (!err && !bytes && ::rename(path.c_str(), aside.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(aside.c_str());
    RaiseFromErrno(err, errPermissionDenied);
  }
  return aside;
}

std::string KeepCopyAside(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) RaiseOpenError(path, errno, true);
  std::string bytes;
  char buf[65536];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) bytes.append(buf, static_cast<size_t>(n));
  const int err = n < 0 ? errno : 0;
  ::close(fd);
  if (err) RaiseFromErrno(err, errPathFileAccess);
  return SetAside(path, &bytes);
}

void Kill(const std::string& path) {
  if (::unlink(path.c_str()) != 0) RaiseOpenError(path, errno, true);
}

}  // namespace rt
