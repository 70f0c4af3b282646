// Draws every picture of the client into the given resources folder:
//   forms/msgbox/            message box skin and button strips (compiled into the program)
//   forms/mainwin/           main window button faces (compiled into the program)
//   forms/checkrecord/       microphone check wizard pages and faces (compiled into the program)
//   forms/tipcheckrec/       recording tip dialog background and faces (compiled into the program)
//   install/resource/image/  main window skins (installed beside the program)
//   install/engine/bin/      level meter pictures and the ding (installed beside the program)
//   icons/                   the desktop icon in 48 and 256 pixels (for the Debian package)

#include <QGuiApplication>
#include <QTextStream>

void DrawMsgBoxArt(const QString& resources);
void DrawMainWindowArt(const QString& resources);
void DrawRecCheckArt(const QString& resources);
void DrawIconArt(const QString& resources);

int main(int argc, char* argv[]) {
    // Pictures only: no display is needed, and the output must not depend on one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: parvelo_artwork RESOURCES-FOLDER\n";
        return 2;
    }
    const QString resources = arguments.at(1);
    DrawMsgBoxArt(resources);
    DrawMainWindowArt(resources);
    DrawRecCheckArt(resources);
    DrawIconArt(resources);
    return 0;
}
