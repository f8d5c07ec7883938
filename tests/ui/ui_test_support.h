// Helpers shared by the window tests (ui_tests): boxes written for the
// viewer, drops, the labels a shown file sets, and the application object the
// windows are handed.
#pragma once

#include <QApplication>
#include <QBuffer>
#include <QColor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <string>

#include "app/applikation.h"
#include "support/box_builder.h"
#include "ui/viewer_dlg.h"
#include "ui/viewer_resources.h"

namespace quorvel::testing {

// The temporary home folder main() sets up; XDG_CONFIG_HOME is its "config".
extern QString g_testHome;

// The application object the windows under test are handed, as the program
// hands its own to the main window.
inline CApplikation& TestApp() {
    static CApplikation app;
    return app;
}

inline Bytes SolidBmp(QColor colour, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return Bytes(data.begin(), data.end());
}

// A data block whose tokens all show: the walk drops the last token's line,
// so a marker closes the stream.
inline Bytes Stream(std::initializer_list<Bytes> tokens) {
    Bytes data = Concat(tokens);
    Append(data, Token(0x80, Bytes{}));
    return data;
}

// Writes a box into `dir` and returns its path.
inline std::string WriteBox(const QTemporaryDir& dir, const QString& name, const BoxSpec& box) {
    const std::string path = QFile::encodeName(dir.filePath(name)).toStdString();
    WriteFile(path, BuildBox(box));
    return path;
}

// Drags `urls` onto `target` and drops them; returns whether the drag was
// welcome there.
inline bool DragAndDrop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return true;
}

inline QString LabelOf(const CViewerDlg& dlg, int id) {
    const auto* label = qobject_cast<const QLabel*>(dlg.GetDlgItem(id));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(id);
}

// The six labels a shown file can change, and the record text.
inline QStringList Snapshot(CViewerDlg& dlg) {
    QStringList state;
    for (int id :
         {IDC_TYPE, IDC_WIDTH, IDC_HEIGHT, IDC_COMPRESSION, IDC_EXPORT_DATE, IDC_EXPORT_TIME}) {
        state << LabelOf(dlg, id);
    }
    return state << dlg.TextView().toPlainText();
}

}  // namespace quorvel::testing
