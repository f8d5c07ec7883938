// The dedication dialog: a line of thanks above a looping animation, opened
// from the about box by a right double click.
#pragma once

#include <QDialog>

class QLabel;

namespace quorvel {

class CDedicationDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 152;  // IDD_DEDICATION
    static constexpr int IDC_ANIMATION_PLACE = 1043;

    // `parent` owns the dialog as a window (the about box when it opens it).
    explicit CDedicationDlg(QWidget* parent = nullptr);
    ~CDedicationDlg() override;

    // The label that plays AVI 130 over control 1043.
    QLabel* Animation() const { return m_animate; }

protected:
    bool OnInitDialog();

private:
    void CreateControls();

    QLabel* m_animate = nullptr;
};

}  // namespace quorvel
