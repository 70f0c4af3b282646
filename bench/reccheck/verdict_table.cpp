// Judges the recordings named on the command line with the speech engine's verdict and prints
// one line per recording: "<code>\t<seconds>\t<path>\t<figures>". The speech model is loaded
// once. Used by the verdict evaluation (verdict_eval.py), which makes the recordings.
#include "reccheck/engine/speechengine.h"
#include "reccheck/engine/speechverdict.h"

#include <QString>
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
        std::printf("%d\t%.3f\t%s\t%s\n", static_cast<int>(figures.verdict), figures.seconds,
                    argv[i], qPrintable(FormatVerdictFigures(figures)));
        std::fflush(stdout);
    }
    return aligner ? 0 : 1;
}
