// Writes the client's start-up movie to the given file; with --lesson the demo platform's
// lesson movie instead.

#include "lessonmovie.h"
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
    QStringList arguments = QGuiApplication::arguments().mid(1);
    const bool lesson = arguments.removeAll(QStringLiteral("--lesson")) > 0;
    if (arguments.size() != 1) {
        QTextStream(stderr) << "usage: parvelo_swf [--lesson] MOVIE-FILE\n";
        return 2;
    }
    const QString path = arguments.at(0);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    const QByteArray movie = lesson ? LessonMovie() : SplashMovie();
    if (!file.open(QIODevice::WriteOnly) || file.write(movie) != movie.size()) {
        QTextStream(stderr) << "cannot write " << path << ": " << file.errorString() << "\n";
        return 1;
    }
    return 0;
}
