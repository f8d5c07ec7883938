#include "ui/cover_saver.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "app/platform.h"
#include "picture/cover_format.h"
#include "ui/no_settings.h"
#include "ui/qt_strings.h"

namespace quorvel {

QString CoverExtension(std::span<const unsigned char> bytes) {
    const std::optional<CoverFormat> format = SniffCoverFormat(bytes);
    return format ? QString::fromLatin1(format->extension) : QString();
}

void SaveCoverAs(QWidget* parent, const std::string& boxPath,
                 std::span<const unsigned char> bytes) {
    const QString extension = CoverExtension(bytes);
    const QFileInfo box(FromLocalPath(boxPath));
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
    const QByteArray path = QFile::encodeName(target);
    if (const int error = WriteFileReplacing(path.toStdString(), bytes); error != 0) {
        std::fprintf(stderr, "quorvel: %s: cover not saved: %s\n", path.constData(),
                     std::strerror(error));
    }
}

}  // namespace quorvel
