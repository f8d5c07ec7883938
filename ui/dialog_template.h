// Builds a window from its dialog template: the frame (the application's
// font at 8 points, the window kind, the template size) and the controls,
// each placed in dialog units and registered under its template id, so
// FindControl finds it. The main window, the about box and the dedication
// dialog are all made this way.
#pragma once

#include <QRect>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace quorvel {

// A template rectangle in dialog units as pixels (ui/dialog_units.h).
QRect DialogUnitsRect(const QRect& du);

// The control carrying template id `id` among `dialog`'s direct children, or
// nullptr.
QWidget* FindControl(const QWidget* dialog, int id);

// Gives `control` the template id of `place`: a control that stands in for
// another (an animation over its place) answers to the same id.
void CopyControlId(QWidget* control, const QWidget* place);

class DialogTemplate {
public:
    enum class Frame {
        Modal,       // fixed size, caption and close box
        MainWindow,  // a top-level window of its own, sizing border, min/max boxes
    };

    // Sets up `dialog`'s frame; the controls follow with the Add calls.
    DialogTemplate(QDialog& dialog, Frame frame, int widthDu, int heightDu);

    // Places `control`, a child of the dialog, at `du` under `id` and `name`.
    QWidget* Add(QWidget* control, int id, const QRect& du, const QString& name);

    // A plain-text static named "IDC_<id>": never rich text, and with
    // `prefix` set the mnemonic rule applies ("&&" shows as '&', a single '&'
    // marks the next character and is not shown). Without `notify` the label
    // lets mouse input through to the dialog, as statics without the notify
    // style do.
    QLabel* AddStatic(int id, const QRect& du, const QString& text, bool prefix, bool notify);

    // The default push button "&OK" (IDOK, id 1), which accepts the dialog.
    QPushButton* AddOkButton(const QRect& du);

private:
    QDialog& m_dialog;
};

}  // namespace quorvel
