#include "soundfiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <limits>
#include <stdexcept>

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    const QString output = QString::fromUtf8(process.readAll());
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error(QStringLiteral("%1 %2 failed: %3")
                                     .arg(program, arguments.join(QLatin1Char(' ')), output)
                                     .toStdString());
    return output;
}

void MakeTone(const QString& path, const QStringList& format, double seconds) {
    RunTool(QStringLiteral("sox"),
            QStringList{QStringLiteral("-n")} + format +
                QStringList{path, QStringLiteral("synth"), QString::number(seconds),
                            QStringLiteral("sine"), QStringLiteral("440"), QStringLiteral("vol"),
                            QStringLiteral("0.5")});
}

void MakeSpeech(const QString& path) {
    const QString spoken = path + QStringLiteral(".espeak.wav");
    RunTool(QStringLiteral("espeak-ng"),
            {QStringLiteral("-w"), spoken,
             QStringLiteral("Living without an aim is like sailing without a compass.")});
    RunTool(QStringLiteral("sox"),
            {spoken, QStringLiteral("-r"), QStringLiteral("16000"), QStringLiteral("-b"),
             QStringLiteral("16"), QStringLiteral("-c"), QStringLiteral("1"), path});
}

double SoundSeconds(const QString& path) {
    return RunTool(QStringLiteral("soxi"), {QStringLiteral("-D"), path}).trimmed().toDouble();
}

SoundFormat SoundFileFormat(const QString& path) {
    const auto field = [&path](const char* option) {
        return RunTool(QStringLiteral("soxi"), {QLatin1String(option), path}).trimmed().toInt();
    };
    return SoundFormat{field("-r"), field("-b"), field("-c")};
}

double SoundPeakDbfs(const QString& path) {
    const QString stats =
        RunTool(QStringLiteral("sox"), {path, QStringLiteral("-n"), QStringLiteral("stats")});
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Pk lev dB\\s+(\\S+)")).match(stats);
    if (!match.hasMatch())
        throw std::runtime_error("sox stats printed no peak level: " + stats.toStdString());
    if (match.captured(1) == QStringLiteral("-inf"))
        return -std::numeric_limits<double>::infinity();
    return match.captured(1).toDouble();
}
