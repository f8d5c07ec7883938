#include "ui/folder_stepper.h"

#include <QCollatorSortKey>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include "boxfile/box_display.h"
#include "ui/list_collator.h"
#include "ui/qt_strings.h"

namespace quorvel {
namespace {

// A name's place in the order: its collation key, made once, then the name
// itself for names the collator holds equal. Comparing two costs time in
// their length only, whatever digits or letters they hold.
struct Place {
    QCollatorSortKey key;
    QString name;

    bool operator<(const Place& other) const {
        const int order = key.compare(other.key);
        return order != 0 ? order < 0 : name < other.name;
    }
};

}  // namespace

std::optional<std::string> NeighbourBoxFile(const std::string& path, StepDirection direction) {
    const QFileInfo shown(FromLocalPath(path));
    const QDir folder = shown.absoluteDir();
    if (!folder.exists()) {
        return std::nullopt;
    }
    const QCollator collator = ListCollator();
    const Place current{collator.sortKey(shown.fileName()), shown.fileName()};
    // One pass for the nearest name on the asked side: no sort, so a step
    // costs one key per name.
    std::optional<Place> best;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted)) {
        if (!HasBoxExtension(QFile::encodeName(name).toStdString())) {
            continue;
        }
        Place place{collator.sortKey(name), name};
        const bool beyond = direction == StepDirection::kNext ? current < place : place < current;
        const bool nearer =
            !best || (direction == StepDirection::kNext ? place < *best : *best < place);
        if (beyond && nearer) {
            best = std::move(place);
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return QFile::encodeName(folder.filePath(best->name)).toStdString();
}

}  // namespace quorvel
