#include "ui/find_bar.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

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
        m_stale = true;
        Highlight();
    });
    // A new file or typing in the view moves the matches.
    connect(m_view.document(), &QTextDocument::contentsChanged, this, [this] {
        m_stale = true;
        if (isVisible()) {
            Highlight();
        }
    });
    hide();
}

void CFindBar::Open() {
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
    Highlight();
}

void CFindBar::Close() {
    hide();
    m_view.setExtraSelections({});
    m_highlights = 0;
    m_stale = true;
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

void CFindBar::Find(bool backward, bool fromMatchStart) {
    const QString needle = m_field->text();
    Highlight();
    if (needle.isEmpty()) {
        return;
    }
    QTextDocument::FindFlags flags;
    if (backward) {
        flags |= QTextDocument::FindBackward;
    }
    if (m_caseSensitive->isChecked()) {
        flags |= QTextDocument::FindCaseSensitively;
    }
    QTextDocument* document = m_view.document();
    // The caret itself moves only to a match: setting it scrolls the view.
    QTextCursor from = m_view.textCursor();
    if (fromMatchStart) {
        from.setPosition(from.selectionStart());
    }
    QTextCursor found = document->find(needle, from, flags);
    if (found.isNull()) {
        // Round the end: from the other end of the text.
        QTextCursor start(document);
        start.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        found = document->find(needle, start, flags);
    }
    if (!found.isNull()) {
        m_view.setTextCursor(found);
        m_view.ensureCursorVisible();
    }
}

void CFindBar::Highlight() {
    const QString needle = m_field->text();
    // F3 through a long record must not search it whole each time.
    if (!m_stale && needle == m_highlighted) {
        return;
    }
    m_stale = false;
    m_highlighted = needle;
    QList<QTextEdit::ExtraSelection> selections;
    QTextDocument::FindFlags flags;
    if (m_caseSensitive->isChecked()) {
        flags |= QTextDocument::FindCaseSensitively;
    }
    bool any = false;
    if (!needle.isEmpty()) {
        QTextCharFormat format;
        format.setBackground(palette().color(QPalette::Active, QPalette::Highlight).lighter(160));
        QTextCursor cursor(m_view.document());
        while (true) {
            cursor = m_view.document()->find(needle, cursor, flags);
            if (cursor.isNull()) {
                break;
            }
            any = true;
            if (selections.size() >= kMaxHighlights) {
                break;
            }
            selections.append({cursor, format});
        }
    }
    m_highlights = static_cast<int>(selections.size());
    m_view.setExtraSelections(selections);
    m_status->setText(!needle.isEmpty() && !any ? QString::fromUtf8(kNotFound) : QString());
}

}  // namespace quorvel
