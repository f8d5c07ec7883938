// Writing the thumbnails of quorvel-thumbnailer.
#pragma once

#include <QImage>
#include <QString>

#include "picture/box_thumbnail.h"

namespace quorvel {

// Writes `image` as PNG to `path` under a temporary name in the same folder,
// then renames it into place, so a reader never sees half a file. False, and
// nothing left behind, when that fails.
bool SavePngAtomically(const QImage& image, const QString& path);

}  // namespace quorvel
