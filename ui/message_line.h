// The message line above the text view: says, in the window, why the last
// file asked for is not shown (a desktop user never sees stderr). It shows
// until a file is shown, and takes its height from the top of the text
// view meanwhile; it never opens a dialog.
#pragma once

#include <QLabel>

namespace quorvel {

class CMessageLine : public QLabel {
public:
    explicit CMessageLine(QWidget* parent);

    // Shows `text` (plain, wrapped to the width); `detail` is its tool tip.
    void Say(const QString& text, const QString& detail);
    // Hides the line and forgets its text.
    void Clear();
    // The height the line needs at `width`, at most `limit`; 0 while hidden.
    int HeightAt(int width, int limit) const;

protected:
    // Its own menu (Copy) or none; never the left column's.
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace quorvel
