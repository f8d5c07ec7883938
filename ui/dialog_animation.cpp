#include "ui/dialog_animation.h"

#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QVariant>

#include "ui/dialog_template.h"

namespace quorvel {
namespace {

constexpr const char* kBrokenProperty = "clipBroken";

// Every frame of the clip can be decoded.
bool ClipIsPlayable(const QString& resource) {
    QImageReader reader(resource);
    if (!reader.canRead() || !reader.supportsAnimation()) {
        return false;
    }
    const int count = reader.imageCount();
    int frames = 0;
    QImage frame;
    while (reader.read(&frame)) {
        if (frame.isNull()) {
            return false;
        }
        ++frames;
    }
    return frames > 0 && (count <= 0 || frames == count);
}

}  // namespace

QLabel* PlaceAnimation(QWidget* place, const QString& resource) {
    auto* animate = new QLabel(place);
    animate->setObjectName(QStringLiteral("animation"));
    CopyControlId(animate, place);
    animate->setGeometry(place->rect());
    animate->setAlignment(Qt::AlignCenter);
    animate->setAttribute(Qt::WA_TranslucentBackground);
    animate->setAttribute(Qt::WA_TransparentForMouseEvents);

    if (!ClipIsPlayable(resource)) {
        return animate;  // a missing or broken clip leaves the place empty
    }
    auto* movie = new QMovie(resource, QByteArray(), animate);
    // The clip repeats without end whatever loop count the file carries. The
    // restart is queued: a clip that fails to load at once must not restart
    // itself recursively, and after a load error it is not restarted at all.
    QObject::connect(movie, &QMovie::error, animate, [animate] {
        animate->setProperty(kBrokenProperty, true);
        animate->setMovie(nullptr);
    });
    QObject::connect(
        movie, &QMovie::finished, animate,
        [animate, movie] {
            if (!animate->property(kBrokenProperty).toBool()) {
                movie->start();
            }
        },
        Qt::QueuedConnection);
    animate->setMovie(movie);
    movie->start();
    animate->show();
    return animate;
}

}  // namespace quorvel
