// Pieces the about and dedication dialogs share: dialog units, the dialog
// font, static texts built from the dialog tables, and the looping animation
// that stands over a place control.
#pragma once

#include <QRect>
#include <QString>
#include <string_view>

class QDialog;
class QLabel;
class QWidget;

namespace quorvel {

// A template rectangle in dialog units as pixels (ui/dialog_units.h).
QRect DialogUnitsRect(int x, int y, int width, int height);

// The platform's default sans-serif font at 8 points, and the frame of a
// fixed-size modal dialog with caption and close box.
void SetUpDialogFrame(QDialog& dialog, int widthDu, int heightDu);

// A plain-text static: never rich text, and with `prefix` set the mnemonic
// rule applies ("&&" shows as '&', a single '&' marks the next character and
// is not shown). Without `notify` the label lets mouse input through to the
// dialog, as statics without the notify style do.
QLabel* CreateStatic(QWidget* dialog, int id, QRect du, const QString& text, bool prefix,
                     bool notify);

// The control carrying `id` among `dialog`'s children, or nullptr.
QWidget* FindControl(const QWidget* dialog, int id);

// Plays the animated image `resource` in a label that covers `place`,
// centred, from the first frame to the last and again without end. The label
// is returned; it stays empty when the resource is missing or unreadable.
QLabel* PlaceAnimation(QWidget* place, const QString& resource);

}  // namespace quorvel
