// The picture frame (control 1090): an etched, sunken frame over which its
// owner paints the cover on every repaint.
#pragma once

#include <QFrame>
#include <QPainter>
#include <functional>
#include <utility>

namespace quorvel {

class CCoverFrame : public QFrame {
public:
    using PaintOver = std::function<void(QPainter*)>;

    explicit CCoverFrame(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Box | QFrame::Sunken);  // drawn as one etched line
    }
    // Called after the frame has drawn itself, with a painter in the
    // frame's own coordinates.
    void SetPaintOver(PaintOver paintOver) { m_paintOver = std::move(paintOver); }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        if (m_paintOver) {
            QPainter painter(this);
            m_paintOver(&painter);
        }
    }

private:
    PaintOver m_paintOver;
};

}  // namespace quorvel
