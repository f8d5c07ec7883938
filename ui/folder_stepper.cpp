#include "ui/folder_stepper.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

#include "boxfile/box_display.h"

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
    // The C locale's collator compares code points and ignores the numeric
    // mode; there the window's own language decides.
    const QLocale locale =
        QLocale().language() == QLocale::C ? QLocale(QLocale::German, QLocale::Germany) : QLocale();
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
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
