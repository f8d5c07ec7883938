// Zoom of the record text view: Ctrl++, Ctrl+-, Ctrl+0 and Ctrl+wheel
// change its font size for this run only; nothing is saved.
#pragma once

#include <QObject>

class QPlainTextEdit;

namespace quorvel {

class CTextZoom : public QObject {
public:
    static constexpr qreal kMinPointSize = 4;
    static constexpr qreal kMaxPointSize = 72;

    // Watches `view`'s wheel; lives as a child of the view.
    explicit CTextZoom(QPlainTextEdit& view);

    void ZoomIn() { Step(1); }
    void ZoomOut() { Step(-1); }
    // Back to the size the view had before the first zoom.
    void Reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Step(int points);

    QPlainTextEdit& m_view;
    qreal m_basePointSize = 0;  // 0 until the first zoom
    int m_wheelAngle = 0;       // wheel turns below one notch, summed up
};

}  // namespace quorvel
