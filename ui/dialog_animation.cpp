#include "ui/dialog_animation.h"

#include "ui/viewer_text.h"

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QVariant>

#include "ui/dialog_units.h"

namespace quorvel {
namespace {

constexpr const char* kControlIdProperty = "controlId";
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

QRect DialogUnitsRect(int x, int y, int width, int height) {
    return QRect(DuToPxX(x), DuToPxY(y), DuToPxX(width), DuToPxY(height));
}

void SetUpDialogFrame(QDialog& dialog, int widthDu, int heightDu) {
    QFont font = dialog.font();
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    dialog.setFont(font);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(DuToPxX(widthDu), DuToPxY(heightDu));
}

QLabel* CreateStatic(QWidget* dialog, int id, QRect du, const QString& text, bool prefix,
                     bool notify) {
    auto* label = new QLabel(dialog);
    label->setProperty(kControlIdProperty, id);
    label->setObjectName(QStringLiteral("IDC_%1").arg(id));
    label->setTextFormat(Qt::PlainText);
    label->setText(prefix ? MnemonicDisplayText(text) : text);
    label->setGeometry(DialogUnitsRect(du.x(), du.y(), du.width(), du.height()));
    label->setAttribute(Qt::WA_TransparentForMouseEvents, !notify);
    return label;
}

QWidget* FindControl(const QWidget* dialog, int id) {
    const auto children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const QVariant value = child->property(kControlIdProperty);
        if (value.isValid() && value.toInt() == id) {
            return child;
        }
    }
    return nullptr;
}

QLabel* PlaceAnimation(QWidget* place, const QString& resource) {
    auto* animate = new QLabel(place);
    animate->setObjectName(QStringLiteral("animation"));
    animate->setProperty(kControlIdProperty, place->property(kControlIdProperty));
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
