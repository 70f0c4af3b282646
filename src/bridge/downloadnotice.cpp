#include "bridge/downloadnotice.h"

#include "bridge/downloadname.h"
#include "bridge/downloadspace.h"
#include "log/logger.h"
#include "ui/msgbox.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>

namespace {

// A page that offers download after download saves no more files, and opens no more notices,
// than this until the student has closed some. A running download keeps its notice open
// (closing the notice cancels it), so this bounds the downloads running at once too.
constexpr int MaxDownloadNotices = 8;

int& OpenNotices() {
    static int count = 0;
    return count;
}

// Paths of downloads still running: their files exist only once they end.
QSet<QString>& ReservedPaths() {
    static QSet<QString> reserved;
    return reserved;
}

QString DownloadFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return folder.isEmpty() ? QDir::homePath() + QStringLiteral("/Downloads") : folder;
}

} // namespace

void AcceptDownload(QWebEngineDownloadRequest* download) {
    if (OpenNotices() >= MaxDownloadNotices) {
        download->cancel();
        DebugLog("download refused: %d notices are open: %s", MaxDownloadNotices,
                 qUtf8Printable(download->url().toString()));
        return;
    }
    const QString folder = DownloadFolder();
    QDir().mkpath(folder);
    const QString path = UniqueDownloadPath(
        folder, SafeDownloadName(download->suggestedFileName()), [](const QString& candidate) {
            return QFileInfo::exists(candidate) || ReservedPaths().contains(candidate);
        });
    ReservedPaths().insert(path);
    download->setDownloadDirectory(folder);
    download->setDownloadFileName(QFileInfo(path).fileName());
    download->accept();
    DebugLog("download started: %s to %s", qUtf8Printable(download->url().toString()),
             qUtf8Printable(path));
    (new TDownloadNotice(download, path))->show();
}

TDownloadNotice::TDownloadNotice(QWebEngineDownloadRequest* download, const QString& path)
    : download_(download), path_(path) {
    ++OpenNotices();
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("DownloadNotice"));
    setWindowTitle(QStringLiteral("下载"));
    text_ = new QLabel(this);
    text_->setTextFormat(Qt::PlainText);
    progress_ = new QProgressBar(this);
    openFolder_ = new QPushButton(QStringLiteral("打开文件夹"), this);
    openFolder_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(progress_);
    layout->addWidget(openFolder_);
    resize(320, 110);
    connect(openFolder_, &QPushButton::clicked, this, [this] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path_).absolutePath()));
    });
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            &TDownloadNotice::showProgress);
    connect(download, &QWebEngineDownloadRequest::totalBytesChanged, this,
            &TDownloadNotice::showProgress);
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this,
            &TDownloadNotice::showEnd);
    showProgress();
    if (download->isFinished())
        showEnd();
}

TDownloadNotice::~TDownloadNotice() {
    // A download cancelled with its notice ends after the notice has gone.
    ReservedPaths().remove(path_);
    --OpenNotices();
}

// A running download is cancelled with its notice, once the student has agreed: nothing goes
// on unseen.
void TDownloadNotice::closeEvent(QCloseEvent* event) {
    if (!download_->isFinished()) {
        const int answer =
            ShowQuestion(QStringLiteral("下载尚未完成，关闭后将取消下载。确定关闭吗？"),
                         QStringLiteral("温馨提示"));
        if (answer != ModalOk) {
            event->ignore();
            return;
        }
        if (!download_->isFinished()) {
            DebugLog("download cancelled: %s", qUtf8Printable(path_));
            download_->cancel();
        }
    }
    QWidget::closeEvent(event);
}

// Stops the download before it fills the disk.
bool TDownloadNotice::stopWhenDiskFull() {
    if (stopReason_.isEmpty() && !download_->isFinished() &&
        LeavesTooLittleSpace(download_->totalBytes(), download_->receivedBytes(),
                             QStorageInfo(QFileInfo(path_).absolutePath()).bytesAvailable())) {
        stopReason_ = QStringLiteral("磁盘剩余空间不足");
        download_->cancel();
    }
    return !stopReason_.isEmpty();
}

void TDownloadNotice::showProgress() {
    if (stopWhenDiskFull())
        return;
    const qint64 total = download_->totalBytes();
    progress_->setRange(0, total > 0 ? 100 : 0);
    if (total > 0)
        progress_->setValue(static_cast<int>(download_->receivedBytes() * 100 / total));
    text_->setText(QStringLiteral("正在下载…\n%1").arg(QFileInfo(path_).fileName()));
}

void TDownloadNotice::showEnd() {
    ReservedPaths().remove(path_);
    progress_->hide();
    if (download_->state() == QWebEngineDownloadRequest::DownloadCompleted) {
        text_->setText(QStringLiteral("下载完成\n%1").arg(path_));
        openFolder_->show();
        DebugLog("download finished: %s", qUtf8Printable(path_));
    } else {
        const QString reason =
            stopReason_.isEmpty() ? download_->interruptReasonString() : stopReason_;
        text_->setText(QStringLiteral("下载失败\n%1").arg(reason));
        DebugLog("download failed: %s, %s", qUtf8Printable(path_), qUtf8Printable(reason));
    }
}
