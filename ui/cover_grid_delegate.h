// Draws one box of the collection window's cover grid: the cover (a frame
// while it is fetched) with the title under it, two lines at most. Every
// item has the same size, so the grid lays out 10,000 boxes at once.
#pragma once

#include <QStyledItemDelegate>

namespace quorvel {

class CoverGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int kCoverSide = 128;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace quorvel
