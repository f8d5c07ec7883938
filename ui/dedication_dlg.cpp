#include "ui/dedication_dlg.h"

#include <QLabel>

#include "ui/dialog_animation.h"
#include "ui/dialog_template.h"

namespace quorvel {
namespace {

constexpr int kWidthDu = 91;
constexpr int kHeightDu = 190;
constexpr int kIdStatic = -1;

}  // namespace

CDedicationDlg::CDedicationDlg(QWidget* parent) : QDialog(parent) {
    CreateControls();
    OnInitDialog();
}

CDedicationDlg::~CDedicationDlg() = default;

void CDedicationDlg::CreateControls() {
    DialogTemplate dialog(*this, DialogTemplate::Frame::Modal, kWidthDu, kHeightDu);
    setWindowTitle(QStringLiteral("Widmung"));

    dialog.AddOkButton(QRect(20, 176, 50, 14));
    dialog.AddStatic(IDC_ANIMATION_PLACE, QRect(1, 14, 89, 159), QString(), true, false);
    QLabel* line = dialog.AddStatic(kIdStatic, QRect(1, 4, 89, 8),
                                    QString::fromUtf8("F\u00fcr alle MIRAX-User"), true, false);
    line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

bool CDedicationDlg::OnInitDialog() {
    m_animate =
        PlaceAnimation(FindControl(this, IDC_ANIMATION_PLACE), QStringLiteral(":/res/AVI/130"));
    return true;
}

}  // namespace quorvel
