#pragma once

#include <QRegion>
#include <QWidget>

class QWebEngineView;

// The short-lived window that plays the start-up movie. Creating it fixes the program
// directory and takes the application title as it stands; showing it starts the movie.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
    ~TSplashForm() override;

    // The movie's player, filling the window.
    QWebEngineView* ShockwaveFlashEx1;

signals:
    // The player has drawn the movie's first picture.
    void firstFrameShown();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();

    QString marker_;
    bool started_ = false;
};

// The window's shape for a client area of the given size: the top-right and bottom-left
// corners rounded, the other two square.
QRegion SplashWindowRegion(const QSize& clientSize);

// The movie the splash plays, in the installation.
QString SplashMoviePath();
