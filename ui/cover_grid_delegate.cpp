#include "ui/cover_grid_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTextLayout>

#include "ui/collection_model.h"

namespace quorvel {
namespace {

constexpr int kMargin = 6;
constexpr int kTitleLines = 2;

}  // namespace

QSize CoverGridDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& /*index*/) const {
    const int line = option.fontMetrics.lineSpacing();
    return {kCoverSide + 2 * kMargin, kCoverSide + 3 * kMargin + kTitleLines * line};
}

void CoverGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    // The whole item is the selection's, not only where a text would stand.
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    if (selected) {
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    }
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor =
            option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        const QWidget* widget = option.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }

    const QRect coverArea(option.rect.left() + kMargin, option.rect.top() + kMargin, kCoverSide,
                          kCoverSide);
    const QPixmap cover = index.data(CollectionModel::kLargeCoverRole).value<QPixmap>();
    painter->save();
    if (cover.isNull()) {
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawRect(coverArea.adjusted(16, 0, -17, -1));
    } else {
        const QSize size = cover.size().scaled(coverArea.size(), Qt::KeepAspectRatio);
        const QRect target(coverArea.left() + (coverArea.width() - size.width()) / 2,
                           coverArea.bottom() + 1 - size.height(), size.width(), size.height());
        painter->drawPixmap(target, cover);
    }

    // The title, wrapped at word ends into two lines, the second elided.
    const QString title = index.data(Qt::DisplayRole).toString();
    const QRect textArea(option.rect.left() + kMargin, coverArea.bottom() + kMargin,
                         option.rect.width() - 2 * kMargin,
                         option.rect.bottom() - coverArea.bottom() - kMargin);
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const QFontMetrics& metrics = option.fontMetrics;
    QTextLayout layout(title, option.font);
    layout.beginLayout();
    int y = textArea.top();
    for (int line = 0; line < kTitleLines; ++line) {
        QTextLine text = layout.createLine();
        if (!text.isValid()) {
            break;
        }
        text.setLineWidth(textArea.width());
        QString shown = title.mid(text.textStart(), text.textLength()).trimmed();
        if (line == kTitleLines - 1 && text.textStart() + text.textLength() < title.size()) {
            shown =
                metrics.elidedText(title.mid(text.textStart()), Qt::ElideRight, textArea.width());
        }
        painter->drawText(QRect(textArea.left(), y, textArea.width(), metrics.lineSpacing()),
                          Qt::AlignHCenter | Qt::AlignTop, shown);
        y += metrics.lineSpacing();
    }
    layout.endLayout();
    painter->restore();
}

}  // namespace quorvel
