#include "testrecordings.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

constexpr int ToolTimeoutMs = 60000;

} // namespace

QStringList CheckFormat() {
    return {QStringLiteral("-r"), QStringLiteral("16000"), QStringLiteral("-c"),
            QStringLiteral("1"),  QStringLiteral("-b"),    QStringLiteral("16")};
}

TTestRecordings::TTestRecordings(const QString& dir) : FDir(dir) {}

QString TTestRecordings::Path(const QString& name) const {
    return QDir(FDir).filePath(name);
}

QString TTestRecordings::Speech(const QString& name, const QString& text,
                                const QStringList& voiceOptions, const QStringList& effects) {
    const QString spoken = Path(name + QStringLiteral(".espeak.wav"));
    if (!Run(QStringLiteral("espeak-ng"),
             voiceOptions + QStringList{QStringLiteral("-w"), spoken, text}))
        return {};
    const QStringList tenSeconds = {
        QStringLiteral("pad"),  QStringLiteral("1"), QStringLiteral("0"),
        QStringLiteral("pad"),  QStringLiteral("0"), QStringLiteral("10"),
        QStringLiteral("trim"), QStringLiteral("0"), QStringLiteral("10")};
    return Sox(name, QStringList{spoken} + CheckFormat(), tenSeconds + effects);
}

QString TTestRecordings::Sox(const QString& name, const QStringList& inputs,
                             const QStringList& effects) {
    const QString path = Path(name);
    // Repeatable noise and dither, and quiet about the clipping some recipes cause on purpose.
    const QStringList arguments = QStringList{QStringLiteral("-R"), QStringLiteral("-V1")} +
                                  inputs + QStringList{path} + effects;
    return Run(QStringLiteral("sox"), arguments) ? path : QString();
}

QString TTestRecordings::File(const QString& name, const QByteArray& bytes) {
    const QString path = Path(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        FError = QStringLiteral("cannot write %1").arg(path);
        return {};
    }
    return path;
}

bool TTestRecordings::Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(ToolTimeoutMs);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    FError = QStringLiteral("%1 %2 failed: %3 %4")
                 .arg(program, arguments.join(QLatin1Char(' ')), process.errorString(),
                      QString::fromLocal8Bit(process.readAllStandardError()));
    return false;
}
