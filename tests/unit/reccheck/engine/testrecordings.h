#pragma once

#include <QString>
#include <QStringList>

// Makes the recordings the engine is tested and measured on, with espeak-ng and sox, in a
// directory the caller owns. Every maker returns the path of the file made, or an empty string
// when a tool failed, Error() then saying why.
class TTestRecordings {
public:
    explicit TTestRecordings(const QString& dir);

    // The text spoken by espeak-ng with voiceOptions, as the check records it: 16 000 Hz mono
    // 16-bit, one second of silence before the voice, ten seconds in all; effects are sox effects
    // applied after that.
    QString Speech(const QString& name, const QString& text, const QStringList& voiceOptions = {},
                   const QStringList& effects = {});
    // Runs "sox <inputs> <dir>/<name> <effects>", inputs holding input files and format options.
    QString Sox(const QString& name, const QStringList& inputs, const QStringList& effects = {});
    // A file holding bytes.
    QString File(const QString& name, const QByteArray& bytes);

    QString Path(const QString& name) const;
    const QString& Error() const { return FError; }

private:
    bool Run(const QString& program, const QStringList& arguments);

    QString FDir;
    QString FError;
};

// Options that make sox's output the check's format.
QStringList CheckFormat();
