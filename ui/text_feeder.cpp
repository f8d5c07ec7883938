#include "ui/text_feeder.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <utility>

namespace quorvel {

qsizetype SkipLineBreaks(const QString& text, qsizetype from, qsizetype lines) {
    const qsizetype size = text.size();
    const QChar* chars = text.constData();
    for (qsizetype i = from; i < size; ++i) {
        const char16_t c = chars[i].unicode();
        const bool lineBreak = c == u'\n' || c == u'\u2029' ||
                               (c == u'\r' && (i + 1 == size || chars[i + 1] != u'\n'));
        if (lineBreak && --lines <= 0) {
            return i + 1;
        }
    }
    return size;
}

CTextFeeder::CTextFeeder(QPlainTextEdit& view) : QObject(&view), m_view(view) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &CTextFeeder::FeedSlice);
}

void CTextFeeder::SetText(QString text, std::function<void()> onComplete) {
    Cancel();
    // Past the limit, the first slice goes in like any text and the rest
    // waits; below it, the cut lands at the end and nothing waits.
    const qsizetype end = SkipLineBreaks(text, 0, kMaxLinesAtOnce);
    if (end == text.size()) {
        m_view.setPlainText(text);
        return;
    }
    const qsizetype first = SkipLineBreaks(text, 0, kLinesPerSlice);
    m_view.setPlainText(text.left(first));
    m_text = std::move(text);
    m_next = first;
    m_onComplete = std::move(onComplete);
    // The view's own text is never undone to an empty page; appending with
    // undo on would also keep a second copy of every slice.
    QTextDocument* document = m_view.document();
    m_undoWasEnabled = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    m_timer.start();
}

void CTextFeeder::Cancel() {
    if (!m_timer.isActive()) {
        return;
    }
    m_timer.stop();
    m_view.document()->setUndoRedoEnabled(m_undoWasEnabled);
    m_text.clear();
    m_next = 0;
    m_onComplete = nullptr;
}

void CTextFeeder::FeedSlice() {
    if (m_next < m_text.size()) {
        const qsizetype end = SkipLineBreaks(m_text, m_next, kLinesPerSlice);
        QTextCursor cursor(m_view.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringView(m_text).sliced(m_next, end - m_next).toString());
        m_next = end;
        // Finishing waits a pass too, so the view has taken in the last
        // slice's size (a long line brings the sideways scroll bar).
        m_timer.start();
        return;
    }
    m_view.document()->setUndoRedoEnabled(m_undoWasEnabled);
    m_text.clear();
    m_next = 0;
    const std::function<void()> done = std::exchange(m_onComplete, nullptr);
    if (done) {
        done();
    }
}

}  // namespace quorvel
