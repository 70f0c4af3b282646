// The registration program: loads a component module and calls its DllRegisterServer, which
// records the module in the user's component register.
//   regsvr [/s] MODULE
// /s: silent, the outcome only in the exit code (0 registered, 1 not).

#include "components/component.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool silent = !arguments.isEmpty() &&
                        arguments.first().compare(QLatin1String("/s"), Qt::CaseInsensitive) == 0;
    if (silent)
        arguments.removeFirst();
    QTextStream out(stdout);
    if (arguments.size() != 1) {
        QTextStream(stderr) << "usage: regsvr [/s] MODULE\n";
        return 2;
    }

    const QString path = arguments.first();
    QLibrary module(path);
    if (!module.load()) {
        if (!silent)
            out << "cannot load " << path << ": " << module.errorString() << "\n";
        return 1;
    }
    using RegisterServer = int (*)();
    const auto registerServer =
        reinterpret_cast<RegisterServer>(module.resolve(RegisterServerEntry));
    const bool registered = registerServer && registerServer() == 0;
    if (!silent)
        out << (registered ? "registered " : "not registered ") << path << "\n";
    return registered ? 0 : 1;
}
