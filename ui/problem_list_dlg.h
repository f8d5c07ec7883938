// The files and folders of a collection that could not be read, each with
// why: one list for all of them, never a message per file.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <utility>
#include <vector>

class QTreeWidget;

namespace quorvel {

class ProblemListDlg : public QDialog {
    Q_OBJECT
public:
    ProblemListDlg(const std::vector<std::pair<std::string, QString>>& problems,
                   QWidget* parent = nullptr);

    QTreeWidget& List() { return *m_list; }

private:
    QTreeWidget* m_list;  // child of the dialog
};

}  // namespace quorvel
