// A command table row's keys as an action's shortcuts.
#pragma once

#include <QKeySequence>
#include <QList>
#include <span>

namespace quorvel {

// Unused slots of a row hold Qt::Key_unknown and give no shortcut.
inline QList<QKeySequence> ShortcutsOf(std::span<const QKeyCombination> keys) {
    QList<QKeySequence> shortcuts;
    for (const QKeyCombination key : keys) {
        if (key.key() != Qt::Key_unknown) {
            shortcuts.append(QKeySequence(key));
        }
    }
    return shortcuts;
}

}  // namespace quorvel
