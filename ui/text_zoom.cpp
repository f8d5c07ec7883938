#include "ui/text_zoom.h"

#include <QPlainTextEdit>
#include <QWheelEvent>
#include <algorithm>

namespace quorvel {
namespace {

constexpr int kNotch = 120;  // wheel angle of one step, in eighths of a degree

}  // namespace

CTextZoom::CTextZoom(QPlainTextEdit& view) : QObject(&view), m_view(view) {
    m_view.viewport()->installEventFilter(this);
}

void CTextZoom::Step(int points) {
    QFont font = m_view.font();
    if (m_basePointSize <= 0) {
        m_basePointSize = font.pointSizeF();
    }
    const qreal size = std::clamp(font.pointSizeF() + points, kMinPointSize, kMaxPointSize);
    if (size != font.pointSizeF()) {
        font.setPointSizeF(size);
        m_view.setFont(font);
    }
}

void CTextZoom::Reset() {
    if (m_basePointSize > 0) {
        QFont font = m_view.font();
        font.setPointSizeF(m_basePointSize);
        m_view.setFont(font);
    }
}

bool CTextZoom::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            m_wheelAngle += wheel->angleDelta().y();
            for (; m_wheelAngle >= kNotch; m_wheelAngle -= kNotch) {
                ZoomIn();
            }
            for (; m_wheelAngle <= -kNotch; m_wheelAngle += kNotch) {
                ZoomOut();
            }
            return true;  // no scrolling while zooming
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quorvel
