#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class TAudioControls;
class TPicButton;

// The small modal dialog a page's hidden link brings up: start the microphone check now,
// or skip it, and a box to stop the offer for later pages.
class TTipCheckRec : public QDialog {
    Q_OBJECT
public:
    // centreOn: the window the dialog and the wizard are centred on (the main window).
    TTipCheckRec(TAudioControls& controls, QWidget* centreOn);

    QLabel* img1;
    QLabel* lbl1;
    TPicButton* RzBmpButton1; // 立即开始
    TPicButton* RzBmpButton2; // 跳过试音
    QCheckBox* rzchckbx1;     // 不再提示

    // Stores the box's state as the tip setting: ticked means the tip is off.
    void NextTip(bool dontRemind);

public slots:
    // Escape does not close the dialog: only its buttons do.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void RzBmpButton1Click();
    void RzBmpButton2Click();

    TAudioControls& controls_;
    QWidget* centreOn_;
};
