// The find bar under the text view: "Suchen:", Weiter and Zurück. The
// current match is selected and scrolled into view, the search wrapping
// round at either end; the text's first kMaxHighlights matches are
// highlighted wherever they come into view. Letter case is ignored unless
// the box is ticked.
//
// Searching runs over one copy of the view's text, taken when the text has
// changed: a keystroke costs one pass over the text, however many matches
// there are, and only the lines in view are ever laid out for highlights.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace quorvel {

class CFindBar : public QWidget {
    Q_OBJECT
public:
    // Matches beyond this many are found by Weiter and Zurück but not
    // highlighted: a record of many megabytes may hold millions.
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
    // Matches of the text to be highlighted: all of them, up to kMaxHighlights.
    int MatchCount() const { return static_cast<int>(m_matches.size()); }
    // Those of them highlighted now: the ones in the lines in view.
    int HighlightCount() const { return m_highlights; }

protected:
    // The bar has no menu of its own, and the window's must not open here.
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Find(bool backward, bool fromMatchStart);
    // Takes the view's text anew when it changed, finds the matches when
    // the text, the search text or the letter-case choice changed.
    void Refresh();
    // Highlights the matches in the lines in view.
    void PaintVisible();

    QPlainTextEdit& m_view;
    QLineEdit* m_field = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QLabel* m_status = nullptr;
    QString m_text;           // the view's text, as of the last Refresh
    bool m_textStale = true;  // the view's text changed since
    QString m_matched;        // the search text m_matches are for
    Qt::CaseSensitivity m_matchedCase = Qt::CaseInsensitive;
    bool m_matchesStale = true;
    std::vector<qsizetype> m_matches;  // where matches start, ascending
    int m_highlights = 0;
    QTimer m_repaint;  // one highlight pass after scrolling, resizing, zooming
};

}  // namespace quorvel
