// One value column for the record text. The renderer puts one or two tabs
// after each label, chosen for the original 8-point font and 48-pixel tab
// stops; in other fonts those tabs land the values in two columns. The text
// stays as it is (clipboard and the dump tool read it): the view gets tab
// positions of its own instead, measured in its current font.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTextOption>

class QFont;
class QPlainTextEdit;

namespace quorvel {

// Every label the record text can start a line with (the fixed labels of
// the token table, the language and the person line), as shown.
QStringList RecordLabels();

// Tab stops for `font`: the first just past the widest label, the second one
// pixel further (so a second tab after a short label lands next to the
// first), the ordinary tab distance after that.
QList<QTextOption::Tab> ValueColumnTabs(const QFont& font);

// Keeps `view`'s tab stops on the value column through every font change
// (zoom included). Lives as a child of the view.
class CValueColumn : public QObject {
public:
    explicit CValueColumn(QPlainTextEdit& view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply();

    QPlainTextEdit& m_view;
};

}  // namespace quorvel
