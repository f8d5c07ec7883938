#include "ui/cover_saver.h"

#include <QBuffer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <cstdio>

#include "ui/no_settings.h"

namespace quorvel {

QString CoverExtension(std::span<const unsigned char> bytes) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    if (format == "jpeg") {
        return QStringLiteral("jpg");
    }
    return QString::fromLatin1(format);
}

bool WriteCoverFile(const QString& path, std::span<const unsigned char> bytes, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

void SaveCoverAs(QWidget* parent, const std::string& boxPath,
                 std::span<const unsigned char> bytes) {
    const QString extension = CoverExtension(bytes);
    const QFileInfo box(QFile::decodeName(QByteArray::fromStdString(boxPath)));
    KeepSettingsOffDisk();
    QFileDialog dialog(parent, QString::fromUtf8("Cover speichern unter"), box.absolutePath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("%1-Bild (*.%2)").arg(extension.toUpper(), extension),
                           QString::fromUtf8("Alle Dateien (*)")});
    dialog.setDefaultSuffix(extension);
    dialog.selectFile(box.completeBaseName() + u'.' + extension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString target = dialog.selectedFiles().front();
    QString error;
    if (!WriteCoverFile(target, bytes, error)) {
        std::fprintf(stderr, "quorvel: %s: cover not saved: %s\n",
                     QFile::encodeName(target).constData(), error.toLocal8Bit().constData());
    }
}

}  // namespace quorvel
