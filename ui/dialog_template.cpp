#include "ui/dialog_template.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QVariant>

#include "ui/dialog_units.h"
#include "ui/viewer_text.h"

namespace quorvel {
namespace {

// The one place the template id is kept on a control.
constexpr const char* kControlIdProperty = "controlId";
constexpr int kIdOk = 1;
constexpr int kDialogFontPoints = 8;

void ApplyDialogFont(QDialog& dialog) {
    // The application's font stands in for the template's 8-point dialog
    // font; the dialog units do not depend on it.
    QFont font = QApplication::font();
    font.setPointSize(kDialogFontPoints);
    dialog.setFont(font);
}

}  // namespace

QRect DialogUnitsRect(const QRect& du) {
    return QRect(DuToPxX(du.x()), DuToPxY(du.y()), DuToPxX(du.width()), DuToPxY(du.height()));
}

QWidget* FindControl(const QWidget* dialog, int id) {
    const auto children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const QVariant value = child->property(kControlIdProperty);
        if (value.isValid() && value.toInt() == id) {
            return child;
        }
    }
    return nullptr;
}

void CopyControlId(QWidget* control, const QWidget* place) {
    control->setProperty(kControlIdProperty, place->property(kControlIdProperty));
}

DialogTemplate::DialogTemplate(QDialog& dialog, Frame frame, int widthDu, int heightDu)
    : m_dialog(dialog) {
    ApplyDialogFont(dialog);
    const QSize size(DuToPxX(widthDu), DuToPxY(heightDu));
    switch (frame) {
        case Frame::Modal:
            dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
            dialog.setFixedSize(size);
            break;
        case Frame::MainWindow:
            // On the taskbar, with a sizing border and minimise and maximise
            // boxes.
            dialog.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                  Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                  Qt::WindowCloseButtonHint);
            dialog.resize(size);
            break;
    }
}

QWidget* DialogTemplate::Add(QWidget* control, int id, const QRect& du, const QString& name) {
    control->setProperty(kControlIdProperty, id);
    control->setObjectName(name);
    control->setGeometry(DialogUnitsRect(du));
    return control;
}

QLabel* DialogTemplate::AddStatic(int id, const QRect& du, const QString& text, bool prefix,
                                  bool notify) {
    auto* label = new QLabel(&m_dialog);
    label->setTextFormat(Qt::PlainText);
    label->setText(prefix ? MnemonicDisplayText(text) : text);
    label->setAttribute(Qt::WA_TransparentForMouseEvents, !notify);
    Add(label, id, du, QStringLiteral("IDC_%1").arg(id));
    return label;
}

QPushButton* DialogTemplate::AddOkButton(const QRect& du) {
    auto* ok = new QPushButton(QStringLiteral("&OK"), &m_dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &m_dialog, &QDialog::accept);
    Add(ok, kIdOk, du, QStringLiteral("IDOK"));
    return ok;
}

}  // namespace quorvel
