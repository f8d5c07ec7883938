#include "ui/about_dlg.h"

#include "ui/viewer_text.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <string>

#include "app/applikation.h"
#include "app/text_util.h"
#include "ui/dedication_dlg.h"
#include "ui/dialog_animation.h"
#include "ui/dialog_template.h"
#include "ui/viewer_resources.h"

namespace quorvel {
namespace {

constexpr int kWidthDu = 178;
constexpr int kHeightDu = 87;
constexpr int kIconPixels = 32;  // a static icon takes its icon's size

QString FromCp1252(const std::string& text) {
    return QString::fromUtf8(Cp1252ToUtf8(text));
}

// The smallest size a static's text is shrunk to so it fits its width.
constexpr qreal kMinFitPointSize = 6;

// A one-line static shows its text whole: in a wider font than the
// template's, the text is set a little smaller instead of being cut off.
void ShrinkToFit(QLabel* label) {
    QFont font = label->font();
    while (QFontMetricsF(font).horizontalAdvance(label->text()) > label->width() &&
           font.pointSizeF() - 0.5 >= kMinFitPointSize) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label->setFont(font);
}

bool IsMouseButtonEvent(const QEvent* event) {
    return event->type() == QEvent::MouseButtonPress ||
           event->type() == QEvent::MouseButtonRelease ||
           event->type() == QEvent::MouseButtonDblClick;
}

}  // namespace

CAboutDlg::CAboutDlg(const CApplikation& app) : QDialog(nullptr) {
    CreateControls();
    OnInitDialog(app);
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::CreateControls() {
    DialogTemplate dialog(*this, DialogTemplate::Frame::Modal, kWidthDu, kHeightDu);

    QLabel* icon = dialog.AddStatic(IDC_ICON, QRect(106, 47, 20, 20), QString(), false, false);
    icon->resize(kIconPixels, kIconPixels);
    icon->setPixmap(QPixmap(QStringLiteral(":/res/ICON/128/32x32.png")));

    m_ok = dialog.AddOkButton(QRect(88, 71, 50, 14));
    m_ok->installEventFilter(this);

    dialog.AddStatic(IDC_VERSION, QRect(73, 4, 102, 8), QStringLiteral("Version x.x"), false,
                     false);
    dialog.AddStatic(IDC_LEGAL_NOTICE, QRect(73, 14, 102, 8), QStringLiteral("(Rechtliches)"), true,
                     false);
    dialog.AddStatic(IDC_FEEDBACK, QRect(73, 34, 101, 8), QString::fromLatin1(kFeedbackAddress),
                     true, false);
    dialog.AddStatic(IDC_COMMENT, QRect(73, 24, 102, 8), QString(), false, false);
    // The animation's place has the notify style: it keeps mouse input.
    m_place = dialog.AddStatic(IDC_ANIMATION_PLACE, QRect(3, 4, 66, 79), QString(), false, true);
    m_place->installEventFilter(this);
}

bool CAboutDlg::OnInitDialog(const CApplikation& app) {
    std::string fileVersion;
    std::string productVersion;
    std::string comments;
    std::string legalNotice;
    app.GetVersionInfo(fileVersion, productVersion, comments, legalNotice);

    auto* version = static_cast<QLabel*>(FindControl(this, IDC_VERSION));
    version->setText(QStringLiteral("Version (") + FromCp1252(fileVersion) + u')');
    auto* notice = static_cast<QLabel*>(FindControl(this, IDC_LEGAL_NOTICE));
    notice->setText(MnemonicDisplayText(FromCp1252(legalNotice)));
    ShrinkToFit(notice);
    static_cast<QLabel*>(FindControl(this, IDC_COMMENT))->setText(FromCp1252(comments));
    static_cast<QLabel*>(FindControl(this, IDC_FEEDBACK))
        ->setText(MnemonicDisplayText(QString::fromLatin1(kFeedbackAddress)));

    // Shown to the user, the program goes by its proper name, not by the
    // lower-case file name it has on disk.
    setWindowTitle(QString::fromUtf8("Info \u00fcber ") + QString::fromUtf8(kCaption));

    m_animate = PlaceAnimation(m_place, QStringLiteral(":/res/AVI/153"));
    return true;
}

void CAboutDlg::OnRButtonDblClk(QMouseEvent* event) {
    {
        // The about box owns it as a window, as the last active window would.
        CDedicationDlg dedication(this);
        dedication.exec();
    }
    QDialog::mouseDoubleClickEvent(event);
}

void CAboutDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        OnRButtonDblClk(event);
        return;
    }
    QDialog::mouseDoubleClickEvent(event);
}

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event) {
    // The OK button and the animation's place keep the right button's clicks
    // to themselves instead of passing them to the dialog, as a push button
    // and a notify static do. The button still gets its left clicks.
    if ((watched == m_ok || watched == m_place) && IsMouseButtonEvent(event)) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (watched == m_place || mouse->button() != Qt::LeftButton) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quorvel
