#include "platform/controls/PictureFiles.h"

#include <QImage>
#include <QString>
#include <unordered_map>

#include "platform/runtime/Error.h"
#include "platform/runtime/FileStamp.h"

namespace rt {
namespace {

struct Read {
  FileStamp stamp;
  QPixmap picture;
};

// A program shows a handful of picture files; one that shows many more (a folder of pictures) starts
// the cache afresh rather than holding them all.
constexpr size_t kMostPictures = 64;

}  // namespace

QPixmap PictureFromFile(const std::string& path) {
  static std::unordered_map<std::string, Read> read;
  const FileStamp stamp = StampOf(path);
  if (!stamp.isFile) Raise(errFileNotFound);
  auto it = read.find(path);
  if (it != read.end() && it->second.stamp == stamp) return it->second.picture;
  // read as an image: a pixmap read from a file is kept by Qt under the file's time in whole seconds and its
  // size, so a file written again within a second, to the same size, would give the old picture
  const QImage image(QString::fromStdString(path));
  if (image.isNull()) Raise(errInvalidCall, "Invalid picture");
  const QPixmap picture = QPixmap::fromImage(image);
  if (it == read.end() && read.size() >= kMostPictures) read.clear();
  read[path] = Read{stamp, picture};
  return picture;
}

}  // namespace rt
