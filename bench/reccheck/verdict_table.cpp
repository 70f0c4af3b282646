// Judges the recordings named on the command line with the speech engine's verdict and prints
// one line per recording: "<code>\t<seconds>\t<path>\t<figures>\t<words>", the words being
// where the alignment placed each word of the sentence ("aim 0.21 s 3.4 below; ..."). The speech
// model is loaded once. Used by the verdict evaluation (verdict_eval.py), which makes the
// recordings.
#include "reccheck/engine/speechengine.h"
#include "reccheck/engine/speechverdict.h"

#include <QString>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[]) {
    QString problem;
    const auto aligner = TSentenceAligner::Create(DefaultSpeechModelDir(),
                                                  QString::fromUtf8(CheckSentence), &problem);
    if (!aligner)
        std::fprintf(stderr, "%s\n", qPrintable(problem));
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const VerdictFigures figures = JudgeRecording(path, aligner.get());
        QStringList words;
        for (const AlignedWord& word : figures.alignment.words)
            words << QStringLiteral("%1 %2 s %3 below")
                         .arg(word.word)
                         .arg(word.seconds, 0, 'f', 2)
                         .arg(word.scoreBelowPhoneLoop, 0, 'f', 1);
        std::printf("%d\t%.3f\t%s\t%s\t%s\n", static_cast<int>(figures.verdict), figures.seconds,
                    argv[i], qPrintable(FormatVerdictFigures(figures)),
                    qPrintable(words.join(QStringLiteral("; "))));
        std::fflush(stdout);
    }
    return aligner ? 0 : 1;
}
