#include "cli/thumbnail.h"

#include <QSaveFile>

namespace quorvel {

bool SavePngAtomically(const QImage& image, const QString& path) {
    // QSaveFile writes to a temporary file beside `path` and renames it over
    // `path` on commit; without commit the temporary file is removed. The
    // fallback of writing straight into `path` stays off.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (image.isNull() || !file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace quorvel
