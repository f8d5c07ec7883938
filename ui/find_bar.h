// The find bar under the text view: "Suchen:", Weiter and Zurück. Every
// match is highlighted; the current one is selected and scrolled into view,
// the search wrapping round at either end. Letter case is ignored unless the
// box is ticked.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace quorvel {

class CFindBar : public QWidget {
    Q_OBJECT
public:
    // Matches beyond this many are found but not all painted: the view must
    // stay usable on a record of many megabytes.
    static constexpr int kMaxHighlights = 10000;

    CFindBar(QPlainTextEdit& view, QWidget* parent);

    // Shows the bar with its search text selected, ready for typing.
    void Open();
    // Hides the bar, clears the highlights and gives the view the focus.
    void Close();

    // F3 and Shift+F3: the next or previous match from the caret (the
    // owner opens the bar first).
    void FindNext();
    void FindPrevious();

    QLineEdit* SearchField() const { return m_field; }
    // "nicht gefunden" when nothing matches, else empty.
    QString Status() const;
    // Matches highlighted at present.
    int HighlightCount() const { return m_highlights; }

private:
    void Find(bool backward, bool fromMatchStart);
    void Highlight();

    QPlainTextEdit& m_view;
    QLineEdit* m_field = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QLabel* m_status = nullptr;
    int m_highlights = 0;
    QString m_highlighted;  // the text the highlights are for
    bool m_stale = true;    // the text or the letter-case choice changed since
};

}  // namespace quorvel
