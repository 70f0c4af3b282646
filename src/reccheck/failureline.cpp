#include "reccheck/failureline.h"

#include "reccheck/verdictcode.h"

QString FailureLine(int verdictCode) {
    switch (verdictCode) {
    case VerdictNoSignal:
        return QStringLiteral("没有检测到声音，请检查麦克风是否已连接。");
    case VerdictOverloaded:
        return QStringLiteral("声音过大，请让麦克风离嘴远一些。");
    case VerdictNoSpeech:
        return QStringLiteral("没有听到说话声，请靠近麦克风朗读。");
    case VerdictTooQuiet:
        return QStringLiteral("声音太小，请靠近麦克风或大声一些。");
    case VerdictNotTheSentence:
        return QStringLiteral("没有听清句子，请完整朗读上面的句子。");
    case VerdictUnreadable:
    case VerdictNoSpeechModel:
        return QStringLiteral("录音检测不可用。");
    default:
        return QString();
    }
}

QString SoundSystemStoppedLine() {
    return QStringLiteral("声音系统停止了工作，请检查耳机和麦克风后重试。");
}
