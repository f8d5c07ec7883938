// Puts a text into a plain-text view. Building the document costs a few
// microseconds a line, so a record of hundreds of thousands of lines would
// freeze the window for seconds: such a text gets its first lines at once
// and the rest in slices from the event loop, the view usable in between.
// Texts of ordinary length (far fewer lines than the limit) go in with one
// call, as before.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QPlainTextEdit;

namespace quorvel {

class CTextFeeder : public QObject {
public:
    // A hundred-disc box has some 40,000 lines; only texts with more lines
    // than this (an empty last line not counted) are fed in slices.
    static constexpr qsizetype kMaxLinesAtOnce = 100000;
    // Lines per slice: about a tenth of a second of document building.
    static constexpr qsizetype kLinesPerSlice = 25000;

    // `view` must outlive the feeder; the feeder lives as its child.
    explicit CTextFeeder(QPlainTextEdit& view);

    // Replaces the view's text, as setPlainText does, dropping whatever is
    // still pending of an earlier text. `onComplete` runs when the last
    // slice is in; it does not run for a text set at once.
    void SetText(QString text, std::function<void()> onComplete = {});
    // Drops the slices not yet in; the view keeps what has arrived.
    void Cancel();

private:
    void FeedSlice();

    QPlainTextEdit& m_view;
    QTimer m_timer;
    QString m_text;
    qsizetype m_next = 0;  // where the next slice starts in m_text
    bool m_undoWasEnabled = true;
    std::function<void()> m_onComplete;
};

// The position just past the `lines`-th line break (lines >= 1) at or after
// `from`, or the text's size when there are fewer. A break is LF, CR LF or a lone CR, as
// the text document counts them, so a cut never splits CR LF.
qsizetype SkipLineBreaks(const QString& text, qsizetype from, qsizetype lines);

}  // namespace quorvel
