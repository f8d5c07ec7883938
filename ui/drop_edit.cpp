#include "ui/drop_edit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFocusEvent>
#include <QMimeData>
#include <QPixmap>
#include <QScrollBar>

#include "ui/viewer_resources.h"

namespace quorvel {

CDropEdit::CDropEdit(QWidget* parent) : QPlainTextEdit(parent), m_cursor(LoadDropCursor()) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTabStopDistance(kTabStopPx);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);

    // The text widget resets the viewport's I-beam now and then; the watch
    // puts the arrow back whenever a pointer is set or the mouse comes in.
    for (QWidget* w :
         {static_cast<QWidget*>(this), viewport(), static_cast<QWidget*>(horizontalScrollBar()),
          static_cast<QWidget*>(verticalScrollBar())}) {
        w->installEventFilter(this);
    }
    OnSetCursor();
}

CDropEdit::~CDropEdit() = default;

std::optional<QCursor> CDropEdit::LoadDropCursor() {
    const QPixmap image(QStringLiteral(":/res/CURSOR/%1").arg(IDC_DROP_CURSOR));
    if (image.isNull()) {
        return std::nullopt;
    }
    return QCursor(image, 0, 0);
}

bool CDropEdit::OnSetCursor() {
    if (!m_cursor) {
        return false;
    }
    const qint64 key = m_cursor->pixmap().cacheKey();
    for (QWidget* w :
         {static_cast<QWidget*>(this), viewport(), static_cast<QWidget*>(horizontalScrollBar()),
          static_cast<QWidget*>(verticalScrollBar())}) {
        const QCursor current = w->cursor();
        if (current.shape() != Qt::BitmapCursor || current.pixmap().cacheKey() != key) {
            w->setCursor(*m_cursor);
        }
    }
    return true;
}

bool CDropEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::CursorChange || event->type() == QEvent::Enter) {
        OnSetCursor();
    }
    return QPlainTextEdit::eventFilter(watched, event);
}

namespace {

// File drags of any count are welcome here, like a window that accepts
// dropped files; the count is judged when the drop lands. Text drags are
// not. The viewer only reads the file, so it takes every drop as a copy,
// even one proposed as a move: no drag source may delete its file because
// of us. A drag that offers no copy is refused.
bool AcceptAsCopy(QDropEvent* event) {
    if (!event->mimeData()->hasUrls() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

}  // namespace

void CDropEdit::dragEnterEvent(QDragEnterEvent* event) {
    AcceptAsCopy(event);
}

void CDropEdit::dragMoveEvent(QDragMoveEvent* event) {
    AcceptAsCopy(event);
}

void CDropEdit::dropEvent(QDropEvent* event) {
    if (AcceptAsCopy(event)) {
        OnDropFiles(event->mimeData()->urls());
    }
}

void CDropEdit::OnDropFiles(const QList<QUrl>& urls) {
    if (urls.size() != 1) {
        return;
    }
    // A URL that is not a local file is a name that cannot be fetched.
    std::string name;
    if (urls.front().isLocalFile()) {
        const QByteArray local = QFile::encodeName(urls.front().toLocalFile());
        name.assign(local.constData(), static_cast<size_t>(local.size()));
        name = name.substr(0, name.find('\0'));
        if (name.size() > kMaxDroppedPath) {
            name.resize(kMaxDroppedPath);
        }
    }
    if (name.empty()) {
        return;
    }
    emit FileDropped(name);
}

void CDropEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    // A closing popup menu hands the focus back; the view never lost it in
    // the user's eyes, and its selection must survive for "Copy".
    if (event->reason() != Qt::PopupFocusReason) {
        emit TextSetFocus();
    }
}

}  // namespace quorvel
