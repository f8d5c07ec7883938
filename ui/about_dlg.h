// The about box: version, comment and legal notice read from the program's
// version block, the feedback address, the icon and a looping animation. A
// right double click on its background, texts or icon opens the dedication.
#pragma once

#include <QDialog>

class QLabel;
class QMouseEvent;
class QPushButton;

namespace quorvel {

class CApplikation;

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 100;  // IDD_ABOUTBOX
    static constexpr int IDC_ICON = 1004;
    static constexpr int IDC_VERSION = 1011;
    static constexpr int IDC_LEGAL_NOTICE = 1022;
    static constexpr int IDC_FEEDBACK = 1023;
    static constexpr int IDC_COMMENT = 1009;
    static constexpr int IDC_ANIMATION_PLACE = 1012;

    // The feedback address, in the template and set again at start.
    static constexpr const char* kFeedbackAddress = "quorvel@example.org";

    // Reads the version block from `app`, which
    // the opener hands in; it is used only while the constructor runs.
    explicit CAboutDlg(const CApplikation& app);
    ~CAboutDlg() override;

    // The label that plays AVI 153 over control 1012.
    QLabel* Animation() const { return m_animate; }

protected:
    bool OnInitDialog(const CApplikation& app);
    // Opens the dedication dialog modally, then passes the click on.
    void OnRButtonDblClk(QMouseEvent* event);

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();

    QPushButton* m_ok = nullptr;
    QWidget* m_place = nullptr;
    QLabel* m_animate = nullptr;
};

}  // namespace quorvel
