// Writing the thumbnails of quorvel-thumbnailer: the picture as PNG bytes,
// made in memory before OUTPUT is touched (cli/thumbnail_output.h).
#pragma once

#include <QByteArray>
#include <QImage>

#include "picture/box_thumbnail.h"

namespace quorvel {

// `image` as PNG bytes; empty when encoding fails.
QByteArray EncodePng(const QImage& image);

}  // namespace quorvel
