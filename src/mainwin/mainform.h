#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "bridge/webinteractive.h"
#include "mainwin/navigation.h"
#include "mainwin/pageprocess.h"

class QLabel;
class TPicButton;
class HandoverServer;
class TWebEngineWB;

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
    TWebEngineWB* EmbeddedWB1;
    TWebInteractive WebInteractive1;

    bool insideSkin() const { return FInsideSkin; }
    QString returnURL() const { return FReturnURL; }

    // The page's hidden link was clicked: 0 cancels the click, -1 lets it go on.
    int StartCheckRec();

    // Ends the browser, writing what its profile still holds; the window shows no page after.
    void ReleaseBrowser();

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

    void btn1Click();
    void btnLogOutClick();
    void btnReturnMainWindowClick();
    void EmbeddedWB1DocumentComplete(const QString& url);
    void ApplyTopDocument(const QString& url, bool soundTestEnabled,
                          const TEmbeddedWB::TopDocument& document);
    void EmbeddedWB1NavigateError(const QString& url, int statusCode);
    void EmbeddedWB1PageProcessEnded(const QString& status, int exitCode);
    void WebInteractive1GetClientCommand(const QString& command, const QString& params);
    void NavigateTo(const QString& address);

    QLabel* img1;
    HandoverServer* handover_;
    bool FInsideSkin = false;
    QString FReturnURL;
    QString FReturnTip;
    NavErrorCounter navErrors_;
    // The microphone check (or its tip) is open: one check at a time.
    bool checkOpen_ = false;
    PageProcessRestarts pageProcessRestarts_;
    QElapsedTimer clock_;
};
