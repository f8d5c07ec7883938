// The order in which the windows list names and titles: as a file manager
// lists them, letter case ignored, numbers compared as numbers ("Teil 2"
// before "Teil 10"), in the window's own language.
#pragma once

#include <QCollator>
#include <QLocale>

namespace quorvel {

inline QCollator ListCollator() {
    // The C locale's collator compares code points and ignores the numeric
    // mode; there the window's own language decides.
    const QLocale locale =
        QLocale().language() == QLocale::C ? QLocale(QLocale::German, QLocale::Germany) : QLocale();
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

}  // namespace quorvel
