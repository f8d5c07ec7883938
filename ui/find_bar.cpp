#include "ui/find_bar.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringMatcher>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace quorvel {
namespace {

// Texts in UTF-8.
constexpr const char* kSearchLabel = "&Suchen:";
constexpr const char* kNextText = "&Weiter";
constexpr const char* kPreviousText =
    "&Zur\xC3\xBC"
    "ck";
constexpr const char* kCaseText = "&Gro\xC3\x9F/klein";
constexpr const char* kNotFound = "nicht gefunden";

// A match never spans lines: a search text holding a line break matches
// nothing, as in the document's own search.
bool Searchable(const QString& needle) {
    return !needle.isEmpty() && !needle.contains(u'\n') && !needle.contains(u'\r') &&
           !needle.contains(QChar::ParagraphSeparator) && !needle.contains(QChar::LineSeparator);
}

}  // namespace

CFindBar::CFindBar(QPlainTextEdit& view, QWidget* parent) : QWidget(parent), m_view(view) {
    // Two rows, so the bar fits under a text view of the window's first
    // size: the search text with its result, then the buttons.
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(2);
    auto* search = new QHBoxLayout;
    auto* buttons = new QHBoxLayout;
    rows->addLayout(search);
    rows->addLayout(buttons);
    auto* label = new QLabel(QString::fromUtf8(kSearchLabel), this);
    m_field = new QLineEdit(this);
    m_field->setAcceptDrops(false);  // the text view is the window's one drop target
    label->setBuddy(m_field);
    auto* next = new QPushButton(QString::fromUtf8(kNextText), this);
    auto* previous = new QPushButton(QString::fromUtf8(kPreviousText), this);
    m_caseSensitive = new QCheckBox(QString::fromUtf8(kCaseText), this);
    m_status = new QLabel(this);
    for (QPushButton* button : {next, previous}) {
        button->setAutoDefault(false);  // Return in the field must not end the dialog
        button->setFocusPolicy(Qt::NoFocus);
    }
    search->addWidget(label);
    search->addWidget(m_field, 1);
    search->addWidget(m_status);
    buttons->addWidget(next);
    buttons->addWidget(previous);
    buttons->addWidget(m_caseSensitive);
    buttons->addStretch(1);

    connect(next, &QPushButton::clicked, this, &CFindBar::FindNext);
    connect(previous, &QPushButton::clicked, this, &CFindBar::FindPrevious);
    connect(m_field, &QLineEdit::returnPressed, this, &CFindBar::FindNext);
    // Typing searches from where the current match starts, so it grows.
    connect(m_field, &QLineEdit::textEdited, this, [this] { Find(false, true); });
    connect(m_caseSensitive, &QCheckBox::toggled, this, [this] {
        Refresh();
        PaintVisible();
    });
    // A new file or typing in the view moves the matches; slices of a long
    // text arrive one after another, so the search waits for a quiet moment.
    m_repaint.setSingleShot(true);
    m_repaint.setInterval(0);
    connect(&m_repaint, &QTimer::timeout, this, [this] {
        Refresh();
        PaintVisible();
    });
    connect(m_view.document(), &QTextDocument::contentsChanged, this, [this] {
        m_textStale = true;
        if (isVisible()) {
            m_repaint.start();
        }
    });
    // Other lines come into view.
    const auto repaint = [this] {
        if (isVisible()) {
            m_repaint.start();
        }
    };
    connect(m_view.verticalScrollBar(), &QScrollBar::valueChanged, this, repaint);
    connect(m_view.verticalScrollBar(), &QScrollBar::rangeChanged, this, repaint);
    m_view.installEventFilter(this);
    m_view.viewport()->installEventFilter(this);
    hide();
}

bool CFindBar::eventFilter(QObject* watched, QEvent* event) {
    const bool viewChanged = (watched == &m_view && event->type() == QEvent::FontChange) ||
                             (watched == m_view.viewport() && event->type() == QEvent::Resize);
    if (viewChanged && isVisible()) {
        m_repaint.start();
    }
    return QWidget::eventFilter(watched, event);
}

void CFindBar::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

void CFindBar::Open() {
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
    Refresh();
    PaintVisible();
}

void CFindBar::Close() {
    hide();
    m_repaint.stop();
    m_view.setExtraSelections({});
    m_highlights = 0;
    m_matches.clear();
    m_text = QString();  // a second copy of a long record is not kept
    m_textStale = true;
    m_matchesStale = true;
    m_status->clear();
    m_view.setFocus(Qt::OtherFocusReason);
}

void CFindBar::FindNext() {
    Find(false, false);
}

void CFindBar::FindPrevious() {
    Find(true, false);
}

QString CFindBar::Status() const {
    return m_status->text();
}

void CFindBar::Refresh() {
    if (m_textStale) {
        // Positions in it are the document's: one character per position,
        // a line break for each block's end.
        m_text = m_view.toPlainText();
        m_textStale = false;
        m_matchesStale = true;
    }
    const QString needle = m_field->text();
    const Qt::CaseSensitivity cs =
        m_caseSensitive->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (!m_matchesStale && needle == m_matched && cs == m_matchedCase) {
        return;  // F3 through a long record must not search it whole each time
    }
    m_matchesStale = false;
    m_matched = needle;
    m_matchedCase = cs;
    m_matches.clear();
    bool any = false;
    if (Searchable(needle)) {
        // One pass; matches do not overlap, as stepping from one to the next
        // finds them.
        const QStringMatcher matcher(needle, cs);
        qsizetype at = matcher.indexIn(m_text, 0);
        any = at >= 0;
        while (at >= 0 && m_matches.size() < static_cast<size_t>(kMaxHighlights)) {
            m_matches.push_back(at);
            at = matcher.indexIn(m_text, at + needle.size());
        }
    }
    m_status->setText(!needle.isEmpty() && !any ? QString::fromUtf8(kNotFound) : QString());
}

void CFindBar::PaintVisible() {
    QList<QTextEdit::ExtraSelection> selections;
    if (!m_matches.empty()) {
        // From the first line in view to the last one touching its bottom.
        const QTextBlock first = m_view.cursorForPosition(QPoint(0, 0)).block();
        const QTextBlock last =
            m_view.cursorForPosition(QPoint(0, m_view.viewport()->height() - 1)).block();
        const qsizetype from = first.position();
        const qsizetype to = last.position() + last.length();
        QTextCharFormat format;
        format.setBackground(palette().color(QPalette::Active, QPalette::Highlight).lighter(160));
        const qsizetype length = m_matched.size();
        for (auto it = std::lower_bound(m_matches.begin(), m_matches.end(), from);
             it != m_matches.end() && *it < to; ++it) {
            QTextCursor cursor(m_view.document());
            cursor.setPosition(static_cast<int>(*it));
            cursor.setPosition(static_cast<int>(*it + length), QTextCursor::KeepAnchor);
            selections.append({cursor, format});
        }
    }
    m_highlights = static_cast<int>(selections.size());
    m_view.setExtraSelections(selections);
}

void CFindBar::Find(bool backward, bool fromMatchStart) {
    Refresh();
    PaintVisible();
    const QString& needle = m_matched;
    if (!Searchable(needle)) {
        return;
    }
    // The caret itself moves only to a match: setting it scrolls the view.
    const QTextCursor caret = m_view.textCursor();
    qsizetype found = -1;
    if (backward) {
        // The last match that starts before the selection, else the text's
        // last one.
        const qsizetype before = caret.selectionStart();
        if (before > 0) {
            found = m_text.lastIndexOf(needle, before - 1, m_matchedCase);
        }
        if (found < 0) {
            found = m_text.lastIndexOf(needle, -1, m_matchedCase);
        }
    } else {
        // The first match from the selection's end (its start while typing,
        // so the match grows), else the text's first one.
        const QStringMatcher matcher(needle, m_matchedCase);
        found =
            matcher.indexIn(m_text, fromMatchStart ? caret.selectionStart() : caret.selectionEnd());
        if (found < 0) {
            found = matcher.indexIn(m_text, 0);
        }
    }
    if (found >= 0) {
        QTextCursor match(m_view.document());
        match.setPosition(static_cast<int>(found));
        match.setPosition(static_cast<int>(found + needle.size()), QTextCursor::KeepAnchor);
        m_view.setTextCursor(match);
        m_view.ensureCursorVisible();
    }
}

}  // namespace quorvel
