#include "ui/folder_stepper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "boxfile/box_display.h"
#include "ui/list_collator.h"

namespace quorvel {

std::optional<std::string> NeighbourBoxFile(const std::string& path, StepDirection direction) {
    const QFileInfo shown(QFile::decodeName(QByteArray::fromStdString(path)));
    const QDir folder = shown.absoluteDir();
    if (!folder.exists()) {
        return std::nullopt;
    }
    QStringList names;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (HasBoxExtension(QFile::encodeName(name).toStdString())) {
            names.append(name);
        }
    }
    const QCollator collator = ListCollator();
    // Names the collator holds equal still need one fixed order.
    const auto before = [&collator](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    };
    std::sort(names.begin(), names.end(), before);

    const QString current = shown.fileName();
    QStringList::const_iterator neighbour;
    if (direction == StepDirection::kNext) {
        neighbour = std::upper_bound(names.cbegin(), names.cend(), current, before);
        if (neighbour == names.cend()) {
            return std::nullopt;
        }
    } else {
        neighbour = std::lower_bound(names.cbegin(), names.cend(), current, before);
        if (neighbour == names.cbegin()) {
            return std::nullopt;
        }
        --neighbour;
    }
    return QFile::encodeName(folder.filePath(*neighbour)).toStdString();
}

}  // namespace quorvel
