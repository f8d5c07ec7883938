// Run: see bench/run.py --viewer. The floor the viewer's start-up is compared
// with: a plain Qt program that reads a UTF-8 text file with LF line ends and
// shows it in a QPlainTextEdit set up as the viewer's text view is (no wrap,
// scroll bars as needed, the same tab stops and font), then quits after the
// first paint when QUORVEL_QUIT_AFTER_SHOW is set, as the viewer does.
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <cstdio>

#include "ui/quit_after_show.h"
#include "ui/viewer_resources.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvel::QuitAfterFirstPaintIfAsked(app);
    if (argc != 2) {
        std::fputs("usage: bare_view TEXT-FILE\n", stderr);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    QPlainTextEdit edit;
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    edit.setFont(font);
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit.setTabStopDistance(quorvel::kTabStopPx);
    edit.setPlainText(QString::fromUtf8(file.readAll()));
    edit.resize(640, 480);
    edit.show();
    return app.exec();
}
