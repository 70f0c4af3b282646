#pragma once

#include <QDialog>

class QLabel;
class TSmartImage;

// The skinned message box: a title line, up to three text lines and an OK button, or OK and
// Cancel. One instance serves every message; ShowMsgBox fills and shows it.
class TMsgForm : public QDialog {
    Q_OBJECT
public:
    explicit TMsgForm(QWidget* parent = nullptr);

    QLabel* ImgBg;
    QLabel* MsgTitle;
    QLabel* MsgBody;
    QLabel* MsgBody2;
    QLabel* MsgBody3;
    TSmartImage* ImgBtnOk;
    TSmartImage* ImgBtnCancel;

public slots:
    // Only the two buttons close the box; Escape and the window manager's close do nothing.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormKeyDown(QKeyEvent* event);
    void ImgBtnOkClick();
    void ImgBtnCancelClick();
    void ImgBgMouseDown(QMouseEvent* event);
};

// The one message box, created on first use.
TMsgForm* MsgForm();
