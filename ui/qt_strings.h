// Our strings as Qt's: UTF-8 texts, and paths in the file system's own
// bytes (QFile's decoding, so a name that is no valid UTF-8 round-trips).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace quorvel {

inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString FromLocalPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace quorvel
