// How long the speech engine takes to judge a ten-second recording of the sentence on the GUI
// thread, against the 300 ms it may take; and how long loading the speech model takes, which
// happens once when the engine is made. The processor time is given beside the elapsed time:
// on a busy machine the elapsed time also counts the waits for a processor.
#include "reccheck/engine/speechengine.h"
#include "tests/unit/reccheck/engine/testrecordings.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <vector>

namespace {

constexpr int Runs = 10;
constexpr double TargetMs = 300.0;

double Milliseconds(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

// The processor time this thread has used, in milliseconds.
double ThreadProcessorMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Judges the recording Runs times; returns false when it did not get the expected code.
bool Measure(TSpeechEngine& engine, const char* what, const QString& path, int expectedCode) {
    std::vector<double> times;
    double processorMs = 0.0;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        const double processorStart = ThreadProcessorMilliseconds();
        timer.start();
        const int code = engine.CheckRecordFile(path);
        times.push_back(Milliseconds(timer));
        processorMs += ThreadProcessorMilliseconds() - processorStart;
        if (code != expectedCode) {
            std::printf("%s: code %d, expected %d\n", what, code, expectedCode);
            return false;
        }
    }
    const double mean = std::accumulate(times.begin(), times.end(), 0.0) / times.size();
    const double fastest = *std::min_element(times.begin(), times.end());
    std::printf("%s: %.1f ms mean, %.1f ms min over %d runs, %.1f ms processor time mean "
                "(target %.0f ms)\n",
                what, mean, fastest, Runs, processorMs / Runs, TargetMs);
    return true;
}

} // namespace

int main() {
    QTemporaryDir dir;
    TTestRecordings recordings(dir.path());
    const QString sentence =
        recordings.Speech(QStringLiteral("sentence.wav"), QString::fromUtf8(CheckSentence));
    const QString other = recordings.Speech(
        QStringLiteral("other.wav"),
        QStringLiteral("The weather is nice today and I like to walk in the park."));
    const QString noise = recordings.Sox(
        QStringLiteral("noise.wav"), QStringList{QStringLiteral("-n")} + CheckFormat(),
        {QStringLiteral("synth"), QStringLiteral("10"), QStringLiteral("pinknoise"),
         QStringLiteral("vol"), QStringLiteral("0.3")});
    if (sentence.isEmpty() || other.isEmpty() || noise.isEmpty()) {
        std::printf("cannot make the recordings: %s\n", qPrintable(recordings.Error()));
        return 1;
    }

    QString lastLine;
    QElapsedTimer load;
    load.start();
    TSpeechEngine engine(dir.path() + QLatin1Char('/'),
                         TAudioControlsHost{[&lastLine](const QString& line) { lastLine = line; }});
    std::printf("engine made (speech model loaded): %.1f ms\n", Milliseconds(load));

    const bool expected = Measure(engine, "verdict on the sentence", sentence, 0) &&
                          Measure(engine, "verdict on another sentence", other, 6) &&
                          Measure(engine, "verdict on pink noise", noise, 4);
    std::printf("last log line: %s\n", qPrintable(lastLine));
    return expected ? 0 : 1;
}
