#pragma once

#include <QWidget>

class QLabel;
class TPicButton;
class HandoverServer;

// The client's skinned, frameless 800 × 600 main window.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);

    // Picture buttons along the top edge and the panel that holds the browser.
    TPicButton* RzBmpButton1;
    TPicButton* btnLogOut;
    TPicButton* RzBmpMinimize;
    TPicButton* RzBmpClose;
    TPicButton* btnReturnMainWindow;
    QWidget* RzPanel1;

    bool insideSkin() const { return FInsideSkin; }

signals:
    // The close was confirmed: the message loop ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void SetupWindow();
    void ShowStartPage();
    void LoadSkin(bool inside);
    void CreateWorkingDirectories();
    void HandlePrivateMessage(quint32 message);
    void ShowMainWindow();
    void OtherInstance();
    void BringToFront();

    QLabel* img1;
    HandoverServer* handover_;
    bool FInsideSkin = false;
};
