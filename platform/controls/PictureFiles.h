#pragma once
// Picture files read once: a file is read again only after it has changed on disk. The grid's cells and
// the picture controls show the same few status pictures many times in every update cycle.

#include <QPixmap>
#include <string>

namespace rt {

// The picture in the file at `path`; 53 when there is no such file, 5 when it holds no picture.
QPixmap PictureFromFile(const std::string& path);

}  // namespace rt
