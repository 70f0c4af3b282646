#pragma once

#include "reccheck/checkrecordflow.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTimer;
class TAudioControls;
class TPicButton;

// The microphone check: a borderless modal window of four picture pages that plays a sample,
// records the student reading the sentence for ten seconds, and shows the engine's verdict.
// Every start of the check makes a new one; a closed wizard is not shown again.
class TCheckRecord : public QDialog {
    Q_OBJECT
public:
    // centreOn: the window the wizard is centred on (the main window).
    TCheckRecord(TAudioControls& controls, QWidget* centreOn);
    ~TCheckRecord() override;

    QStackedWidget* RzPageControl1;
    QWidget* TabSheet1;       // 试音
    QWidget* TabSheet2;       // 成功
    QWidget* TabSheet3;       // 失败
    QWidget* TabSheet4;       // 开始
    TPicButton* RzBmpButton1; // close, start page
    TPicButton* RzBmpButton2; // 开始
    TPicButton* RzBmpButton3; // close, test page
    TPicButton* RzBmpButton4; // close, success page
    TPicButton* RzBmpButton5; // close, failure page
    TPicButton* RzBmpButton6; // 完成
    TPicButton* RzBmpButton7; // 退出
    TPicButton* RzBmpButton8; // 重试
    TPicButton* RzBmpButton9; // the loudspeaker
    // "回放" on the success and the failure page.
    QPushButton* replayOnSuccess;
    QPushButton* replayOnFailure;
    // The failure page's line saying what the verdict found.
    QLabel* failureLine;
    QLabel* lbl1;
    QLabel* img5;
    QProgressBar* RzProgressStatus1;
    TVyraMicLevel* VyraMicLevel1;
    QTimer* tmr1;

    const TCheckRecordFlow& Flow() const { return *flow_; }

public slots:
    // Escape does not close the wizard: only its buttons do.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void RzBmpButton1Click();
    void RzBmpButton2Click();
    void RzBmpButton6Click();
    void RzBmpButton8Click();
    void RzBmpButton9Click();
    void ReplayRecordingClick();
    void VyraAudioUtil1StatusChange(int status);
    void tmr1Timer();
    void FormClose();

    // Runs a handler of the flow and shows its outcome; a failure goes to the default error
    // box after the window shows the state the flow kept.
    void Handle(const std::function<void()>& handler);
    void Render();
    bool PageCloseEnabled() const;
    QWidget* AddPage(const char* picture);
    QPushButton* MakeReplayButton(QWidget* page);

    std::unique_ptr<TCheckRecordFlow> flow_;
    QWidget* centreOn_;
    int shownPage_ = -1;
    bool shown_ = false;
};
