// Box files, pictures and window snapshots for the window tests.
#pragma once

#include <QApplication>
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <string>

#include "app/applikation.h"
#include "support/box_builder.h"
#include "ui/viewer_dlg.h"
#include "ui/viewer_resources.h"

namespace quorvel::testing {

// The temporary home folder that ui_test_main set up.
extern QString g_testHome;

// The application object the windows under test are handed, as the program
// hands its own to the main window.
inline CApplikation& TestApp() {
    static CApplikation app;
    return app;
}

// A picture file's bytes in a format Qt writes ("BMP" or "JPG").
inline Bytes EncodeImage(const QImage& image, const char* format = "BMP") {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return Bytes(data.begin(), data.end());
}

inline Bytes SolidBmp(QColor colour, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return EncodeImage(image);
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

// Everything a shown file can change, to tell "left as it was" apart.
struct WindowState {
    QString type, width, height, compression, date, time, text;
    qint64 picture = 0;

    bool operator==(const WindowState&) const = default;
};

inline WindowState Snapshot(CViewerDlg& dlg) {
    return {LabelOf(dlg, IDC_TYPE),        LabelOf(dlg, IDC_WIDTH),
            LabelOf(dlg, IDC_HEIGHT),      LabelOf(dlg, IDC_COMPRESSION),
            LabelOf(dlg, IDC_EXPORT_DATE), LabelOf(dlg, IDC_EXPORT_TIME),
            dlg.TextView().toPlainText(),  dlg.Picture().Image().cacheKey()};
}

inline std::ostream& operator<<(std::ostream& out, const WindowState& s) {
    return out << "{" << s.type.toStdString() << " | " << s.width.toStdString() << " | "
               << s.height.toStdString() << " | " << s.compression.toStdString() << " | "
               << s.date.toStdString() << " | " << s.time.toStdString() << " | picture "
               << s.picture << " | " << s.text.size() << " chars}";
}

}  // namespace quorvel::testing
