// Writes the client's start-up movie to the given file.

#include "splashmovie.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    // Outlines only: no display is needed, and the movie must not depend on one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: parvelo_swf MOVIE-FILE\n";
        return 2;
    }
    const QString path = arguments.at(1);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    const QByteArray movie = SplashMovie();
    if (!file.open(QIODevice::WriteOnly) || file.write(movie) != movie.size()) {
        QTextStream(stderr) << "cannot write " << path << ": " << file.errorString() << "\n";
        return 1;
    }
    return 0;
}
