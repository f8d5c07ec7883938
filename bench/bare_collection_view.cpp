// Run: see bench/window_bench.py. The floor the collection window's start-up
// is compared with: a plain Qt program that lists every box of a collection
// database with the layer's own listing and shows them in a QTableView
// (the window's columns as plain text), then quits after the first paint
// when QUORVEL_QUIT_AFTER_SHOW is set, as the window does.
#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <cstdio>
#include <vector>

#include "collection/collection.h"
#include "ui/quit_after_show.h"

namespace {

class Rows : public QAbstractTableModel {
public:
    explicit Rows(std::vector<quorvel::BoxRow> rows) : m_rows(std::move(rows)) {}
    int rowCount(const QModelIndex& = {}) const override { return static_cast<int>(m_rows.size()); }
    int columnCount(const QModelIndex& = {}) const override { return 9; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) {
            return {};
        }
        const quorvel::BoxRow& row = m_rows[index.row()];
        const auto text = [](const std::optional<std::string>& s) {
            return s ? QString::fromStdString(*s) : QString();
        };
        switch (index.column()) {
            case 1:
                return text(row.title);
            case 2:
                return QString::number(row.dvdCount);
            case 3:
                return QString::number(row.filmCount);
            case 4:
                return row.yearMin ? QString::number(*row.yearMin) : QString();
            case 5:
                return row.fsk ? QString::number(*row.fsk) : QString();
            case 6:
                return text(row.genre);
            case 7:
                return text(row.ean);
            case 8:
                return QString::fromStdString(row.fileName);
            default:
                return {};
        }
    }

private:
    std::vector<quorvel::BoxRow> m_rows;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvel::QuitAfterFirstPaintIfAsked(app);
    if (argc != 2) {
        std::fputs("usage: bare_collection_view DATABASE\n", stderr);
        return 2;
    }
    Rows rows(quorvel::Collection::OpenFile(argv[1])->List());
    QTableView view;
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.setModel(&rows);
    view.resize(1000, 640);
    view.show();
    return app.exec();
}
