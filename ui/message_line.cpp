#include "ui/message_line.h"

#include <QContextMenuEvent>
#include <algorithm>

namespace quorvel {

CMessageLine::CMessageLine(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("messageLine"));
    setTextFormat(Qt::PlainText);  // file names are never markup
    setWordWrap(true);
    setMargin(3);
    setFrameShape(QFrame::StyledPanel);
    // The tool tip's colours: a note that stands apart from the record.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);
    // Selectable, so the words can be copied.
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    hide();
}

void CMessageLine::Say(const QString& text, const QString& detail) {
    setText(text);
    setToolTip(detail);
    show();
}

void CMessageLine::Clear() {
    hide();
    clear();
    setToolTip(QString());
}

void CMessageLine::contextMenuEvent(QContextMenuEvent* event) {
    QLabel::contextMenuEvent(event);
    event->accept();
}

int CMessageLine::HeightAt(int width, int limit) const {
    if (isHidden()) {
        return 0;
    }
    return std::clamp(heightForWidth(width), 0, std::max(0, limit));
}

}  // namespace quorvel
