// Qt's file dialog stores its history in the user's settings when it
// closes. This viewer writes no settings, so before any file dialog the
// user settings location is pointed where no folder or file can ever be made.
#pragma once

#include <QSettings>
#include <QString>

namespace quorvel {

inline void KeepSettingsOffDisk() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

}  // namespace quorvel
