#include "ui/quit_after_show.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <cstdlib>
#include <cstring>

namespace quorvel {
namespace {

class CQuitAfterPaint final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_bQueued) {
            m_bQueued = true;
            // Queued, so this paint and the others of the same pass finish
            // and reach the screen first. exit() leaves modal loops as well.
            QTimer::singleShot(0, this, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_bQueued = false;
};

}  // namespace

void QuitAfterFirstPaintIfAsked(QCoreApplication& app) {
    const char* asked = std::getenv("QUORVEL_QUIT_AFTER_SHOW");
    if (asked == nullptr || *asked == '\0' || std::strcmp(asked, "0") == 0) {
        return;
    }
    app.installEventFilter(new CQuitAfterPaint(&app));  // owned by the application
}

}  // namespace quorvel
