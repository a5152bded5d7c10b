#pragma once
// A cheap look at a file: whether it is a regular file, and what tells a changed file from the one read
// before. Caches of files read once (pictures) check it on every use; a file looked at before is not
// looked at again while the system reports no change of it.

#include <string>

namespace rt {

struct FileStamp {
  bool isFile = false;
  long long modifiedNs = 0;
  long long size = 0;
  unsigned long long device = 0, inode = 0;  // a file put in the place of another is another file
  // Counts the changes the system has reported of a watched file: a file written again within the same
  // tick of the file system's clock, to the same size, keeps its time and size. 0 for a file not watched.
  unsigned long long changes = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path);

}  // namespace rt
