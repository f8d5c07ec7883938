// Cover thumbnails of box files: what the thumbnailer gives file managers and
// what the collection window shows, made by the same code.
#pragma once

#include <QImage>
#include <QSize>
#include <string>

namespace quorvel {

// Thumbnails are at most this many pixels across: four times the largest
// size file managers ask for, far inside the viewer's picture limits.
inline constexpr int kMaxThumbnailSize = 4096;

// The picture's size scaled with its aspect ratio kept so that its longer
// side is `size`, but never beyond twice the picture's own size (a stamp of
// a cover would only turn to mush). No side is less than 1 pixel. An empty
// size for an empty picture or a size below 1.
QSize ThumbnailSize(QSize picture, int size);

// The cover of the box file at `path`, decoded by the viewer's own loader
// and picture code, so the same files fail the same way. A null image when
// the file is no box file, has no cover, or its cover does not load.
QImage LoadBoxCover(const std::string& path);

// The cover scaled to ThumbnailSize; null as LoadBoxCover.
QImage MakeBoxThumbnail(const std::string& path, int size);

}  // namespace quorvel
