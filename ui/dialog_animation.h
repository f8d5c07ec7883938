// The looping animation that stands over a place control in the about and
// dedication dialogs.
#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace quorvel {

// Plays the animated image `resource` in a label that covers `place`,
// centred, from the first frame to the last and again without end. The label
// is returned; it stays empty when the resource is missing or unreadable.
QLabel* PlaceAnimation(QWidget* place, const QString& resource);

}  // namespace quorvel
