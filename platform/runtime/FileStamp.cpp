#include "platform/runtime/FileStamp.h"

#include <pthread.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <string>
#include <unordered_map>

namespace rt {
namespace {

FileStamp Look(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  return {true, static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
          static_cast<long long>(st.st_size), static_cast<unsigned long long>(st.st_dev),
          static_cast<unsigned long long>(st.st_ino)};
}

// The same few pictures are looked at many times a second during an update cycle. A stamp once taken is
// kept while the system reports no change of its file: the kernel queues a change (written, truncated,
// renamed, removed, replaced: the old file loses a link) before the call that made it returns, so a look
// after the change always finds it in the queue. Without a watch (none left, or none on this file
// system) every look goes to the file.
class Watched {
 public:
  Watched() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    // a forked process shares the queue with its parent: what it took out, the parent would miss
    ::pthread_atfork(nullptr, nullptr, [] { forked_ = true; });
  }

  FileStamp StampOf(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0 || forked_) return Look(path);
    Drain();
    auto it = stamps_.find(path);
    if (it != stamps_.end()) return it->second.stamp;
    const FileStamp stamp = Look(path);
    // a relative name would follow the working folder, which the watch does not
    if (!stamp.isFile || path.empty() || path[0] != '/' || stamps_.size() >= kMostFiles) return stamp;
    const int wd = ::inotify_add_watch(fd_, path.c_str(),
                                       IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVE_SELF | IN_DELETE_SELF);
    if (wd < 0) return stamp;
    // the file may have changed between the look and the watch: a second look settles it
    FileStamp again = Look(path);
    if (!(again == stamp)) return again;
    again.changes = ++changes_;
    stamps_[path] = {wd, again};
    return again;
  }

 private:
  static constexpr size_t kMostFiles = 256;

  struct Entry {
    int wd;
    FileStamp stamp;
  };

  // Forgets every stamp whose file was reported changed.
  void Drain() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) {
        if (n < 0 && errno == EINTR) continue;
        return;
      }
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
        Forget(e->wd, (e->mask & IN_IGNORED) != 0);
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      }
    }
  }

  void Forget(int wd, bool watchGone) {
    for (auto it = stamps_.begin(); it != stamps_.end();) {
      if (it->second.wd == wd) {
        it = stamps_.erase(it);
      } else {
        ++it;
      }
    }
    if (!watchGone) ::inotify_rm_watch(fd_, wd);
  }

  int fd_;
  unsigned long long changes_ = 0;
  static inline std::atomic<bool> forked_{false};
  std::mutex mutex_;
  std::unordered_map<std::string, Entry> stamps_;
};

}  // namespace

FileStamp StampOf(const std::string& path) {
  // never destroyed: pictures may still be looked at while statics go
  static auto* watched = new Watched;
  return watched->StampOf(path);
}

}  // namespace rt
