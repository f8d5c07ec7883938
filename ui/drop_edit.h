// The record text view: an editable multi-line text that takes exactly one
// dropped file, keeps its name and hands it to its owner at once, and shows
// its own arrow pointer over its whole area.
#pragma once

#include <QCursor>
#include <QEvent>
#include <QList>
#include <QPlainTextEdit>
#include <QUrl>
#include <optional>
#include <string>

namespace quorvel {

// Sent (never posted) to the owner once a file has been dropped; the owner
// fetches the name with GetDroppedPath before the drop handling returns.
inline constexpr QEvent::Type WM_DROPPED_FILE = static_cast<QEvent::Type>(QEvent::User + 1);

class DroppedFileEvent : public QEvent {
public:
    DroppedFileEvent() : QEvent(WM_DROPPED_FILE) {}
    unsigned wParam = 0;
    long lParam = 1;
};

class CDropEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    // A dropped name is cut to this many bytes, as the fetch buffer of 260
    // characters (NUL included) allowed.
    static constexpr size_t kMaxDroppedPath = 259;

    explicit CDropEdit(QWidget* parent = nullptr);
    ~CDropEdit() override;

    // The window that receives WM_DROPPED_FILE; not owned.
    void SetOwner(QObject* owner) { m_pOwner = owner; }
    // Copies the last dropped name; non-zero when it is not empty.
    int GetDroppedPath(std::string& path) const;

    // Cursor 147 from the resources, hot spot (0, 0); empty when missing.
    static std::optional<QCursor> LoadDropCursor();

signals:
    // The view gained the focus (not when a popup menu gives it back).
    void TextSetFocus();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnDropFiles(const QList<QUrl>& urls);
    // Puts cursor 147 on the view, its viewport and its scroll bars; false
    // when the resource is missing, leaving the control's own pointers.
    bool OnSetCursor();

    QObject* m_pOwner = nullptr;
    std::string m_strDroppedPath;
    std::optional<QCursor> m_cursor;
};

}  // namespace quorvel
