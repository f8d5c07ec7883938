#include "cli/thumbnail.h"

#include <QBuffer>

namespace quorvel {

QByteArray EncodePng(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        return {};
    }
    return png;
}

}  // namespace quorvel
