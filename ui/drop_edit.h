// The record text view: an editable multi-line text that takes exactly one
// dropped file and announces its name at once with FileDropped,
// and shows its own arrow pointer over its whole area.
#pragma once

#include <QCursor>
#include <QList>
#include <QPlainTextEdit>
#include <QUrl>
#include <optional>
#include <string>

namespace quorvel {

class CDropEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    // A dropped name is cut to this many bytes, as the fetch buffer of 260
    // characters (NUL included) allowed.
    static constexpr size_t kMaxDroppedPath = 259;

    explicit CDropEdit(QWidget* parent = nullptr);
    ~CDropEdit() override;

    // Cursor 147 from the resources, hot spot (0, 0); empty when missing.
    static std::optional<QCursor> LoadDropCursor();

signals:
    // The view gained the focus (not when a popup menu gives it back).
    void TextSetFocus();
    // One file was dropped; `path` is its name, cut to kMaxDroppedPath bytes.
    // Emitted inside the drop's handling: an owner connected directly has
    // handled the file before the drop returns.
    void FileDropped(const std::string& path);

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

    std::optional<QCursor> m_cursor;
};

}  // namespace quorvel
