#include "ui/problem_list_dlg.h"
#include "ui/qt_strings.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvel {

ProblemListDlg::ProblemListDlg(const std::vector<std::pair<std::string, QString>>& problems,
                               QWidget* parent)
    : QDialog(parent), m_list(new QTreeWidget(this)) {
    setWindowTitle(QStringLiteral("Nicht lesbare Dateien"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Datei"), QStringLiteral("Grund")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAccessibleName(QStringLiteral("Nicht lesbare Dateien und ihre Gründe"));
    QList<QTreeWidgetItem*> items;
    for (const auto& [path, reason] : problems) {
        items.append(new QTreeWidgetItem({FromLocalPath(path), reason}));
    }
    m_list->addTopLevelItems(items);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_list->setColumnWidth(0, 420);
    if (!items.isEmpty()) {
        m_list->setCurrentItem(items.front());
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(760, 360);
}

}  // namespace quorvel
