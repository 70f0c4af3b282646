#include "speechengine.h"

#include "micvolume.h"
#include "speechverdict.h"

TSpeechEngine::TSpeechEngine(const QString& engineDir, TAudioControlsHost host,
                             const QString& modelDir)
    : FEngineDir(engineDir), FHost(std::move(host)) {
    QString problem;
    FAligner = TSentenceAligner::Create(modelDir, QString::fromUtf8(CheckSentence), &problem);
    if (!FAligner)
        Log(QStringLiteral("speech engine: %1").arg(problem));
}

TSpeechEngine::~TSpeechEngine() = default;

QString TSpeechEngine::EngineDir() const {
    return FEngineDir;
}

int TSpeechEngine::CheckRecordFile(const QString& path) {
    const VerdictFigures figures = JudgeRecording(path, FAligner.get());
    // Only a voice, or clipping, tells what the level should become.
    const bool levelTellsVolume = figures.verdict != VerdictUnreadable &&
                                  figures.verdict != VerdictNoSignal &&
                                  figures.verdict != VerdictNoSpeech;
    QString adjustment = QStringLiteral("volume not adjusted: no voice");
    if (levelTellsVolume)
        adjustment = AdjustMicrophoneVolume(figures.signal.speechDb,
                                            figures.signal.clippedPercent > MaxClippedPercent);
    Log(QStringLiteral("speech engine: %1 %2; %3")
            .arg(path, FormatVerdictFigures(figures), adjustment));
    return figures.verdict;
}

void TSpeechEngine::Log(const QString& line) const {
    if (FHost.debugLog)
        FHost.debugLog(line);
}
