#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QWebEngineDownloadRequest;

// Saves a file a page offers for download into the user's download folder under a name no
// other file has, and shows a small notice while it runs and when it ends. Nothing downloaded
// is ever opened or run. While eight notices are open, further downloads are refused.
// A download stops, as failed, before it would leave the disk too little free space.
void AcceptDownload(QWebEngineDownloadRequest* download);

// The small window of one download: "正在下载…" with its progress, then "下载完成" with a button
// that opens the folder, or "下载失败" with the reason. It frees itself when closed; closing it
// while its download runs cancels the download, after asking.
class TDownloadNotice : public QWidget {
    Q_OBJECT
public:
    TDownloadNotice(QWebEngineDownloadRequest* download, const QString& path);
    ~TDownloadNotice() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool stopWhenDiskFull();
    void showProgress();
    void showEnd();

    QWebEngineDownloadRequest* download_;
    QString path_;
    // Why the client stopped the download itself; empty while it has not.
    QString stopReason_;
    QLabel* text_;
    QProgressBar* progress_;
    QPushButton* openFolder_;
};
