#include "reccheck/audiocontrols/defaultdevice.h"
#include "reccheck/audiocontrols/miclevelhub.h"
#include "reccheck/audiocontrols/qtaudioutil.h"
#include "soundfiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <limits>
#include <stdexcept>

// The recorder and player against the tests' private sound server: a null sink as the
// loudspeaker and a microphone fed from another null sink.

namespace {

// A sound's end or a lost device is noticed within a second or two; the waits are generous.
constexpr int EndWaitMs = 15000;
const QStringList Mono16k{"-r", "16000", "-b", "16", "-c", "1"};

// A recorder and player whose status events are kept in order.
struct WatchedAudio {
    TQtAudioUtil audio;
    QList<int> statuses;

    WatchedAudio() {
        audio.OnStatusChange = [this](TVyraAudioUtil*, int status) { statuses.append(status); };
    }
};

// The levels the recorder publishes while it lives.
struct WatchedLevels {
    QObject receiver;
    QList<double> levels;

    WatchedLevels() {
        QObject::connect(&MicLevelHub::Instance(), &MicLevelHub::levelChanged, &receiver,
                         [this](double peakDbfs) { levels.append(peakDbfs); });
    }
};

void Pactl(const QStringList& arguments) {
    RunTool(QStringLiteral("pactl"), arguments);
}

// For clean-ups, which must not throw: a failure shows in the tests that follow.
void PactlInCleanup(const QStringList& arguments) {
    QProcess::execute(QStringLiteral("pactl"), arguments);
}

// A device of the test's own on the server, the default while it lives. Unplug takes it away
// as a pulled plug would; the shared loudspeaker and microphone are the defaults again after.
class SpareDevice {
public:
    enum Kind { Speaker, Microphone };

    explicit SpareDevice(Kind kind) : kind_(kind) {
        const QStringList module =
            kind == Speaker ? QStringList{"module-null-sink", "sink_name=" + Name()}
                            : QStringList{"module-remap-source", "master=micfeed.monitor",
                                          "source_name=" + Name()};
        module_ = RunTool(QStringLiteral("pactl"), QStringList{"load-module"} + module).trimmed();
        MakeDefault(Name());
    }

    ~SpareDevice() {
        if (!module_.isEmpty())
            PactlInCleanup({"unload-module", module_});
        PactlInCleanup({kind_ == Speaker ? "set-default-sink" : "set-default-source",
                        kind_ == Speaker ? "speaker" : "mic"});
    }

    QString Name() const {
        return kind_ == Speaker ? QStringLiteral("sparespeaker") : QStringLiteral("sparemic");
    }

    void MakeDefault(const QString& name) const {
        Pactl({kind_ == Speaker ? "set-default-sink" : "set-default-source", name});
    }

    void Unplug() {
        if (!module_.isEmpty())
            Pactl({"unload-module", module_});
        module_.clear();
    }

private:
    Kind kind_;
    QString module_;
};

} // namespace

class QtAudioUtilTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString speech_;

    QString FilePath(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        speech_ = FilePath(QStringLiteral("speech.wav"));
        MakeSpeech(speech_);
    }

    void playReportsPlayingThenIdle_data() {
        QTest::addColumn<QStringList>("format");
        QTest::newRow("16-bit mono 16 kHz") << Mono16k;
        QTest::newRow("16-bit stereo 44.1 kHz")
            << QStringList{"-r", "44100", "-b", "16", "-c", "2"};
        QTest::newRow("16-bit mono 22.05 kHz") << QStringList{"-r", "22050", "-b", "16", "-c", "1"};
        QTest::newRow("16-bit stereo 48 kHz") << QStringList{"-r", "48000", "-b", "16", "-c", "2"};
        QTest::newRow("8-bit mono 11.025 kHz") << QStringList{"-r", "11025", "-b", "8", "-c", "1"};
        QTest::newRow("float stereo 48 kHz")
            << QStringList{"-r", "48000", "-e", "floating-point", "-b", "32", "-c", "2"};
    }

    void playReportsPlayingThenIdle() {
        QFETCH(QStringList, format);
        const QString tone = FilePath(QStringLiteral("tone.wav"));
        MakeTone(tone, format, 1.0);
        const double seconds = SoundSeconds(tone);

        WatchedAudio watched;
        watched.audio.SetFileName(tone);
        QElapsedTimer sincePlay;
        sincePlay.start();
        watched.audio.Play();
        QCOMPARE(watched.statuses, QList<int>{AudioPlaying});
        QTRY_COMPARE_WITH_TIMEOUT(watched.statuses, (QList<int>{AudioPlaying, AudioIdle}),
                                  EndWaitMs);
        const qint64 playedMs = sincePlay.elapsed();
        qInfo("Play to status 0: %lld ms for %.2f s of sound", playedMs, seconds);
        // Not a speed check: an end reported before the sound could have been heard means the
        // player took data handed to the server for data played.
        QVERIFY2(playedMs >= seconds * 1000, qPrintable(QString::number(playedMs)));
    }

    void theEndOfASoundMayStartARecording() {
        const QString tone = FilePath(QStringLiteral("prompt.wav"));
        MakeTone(tone, Mono16k, 0.5);
        WatchedAudio watched;
        TQtAudioUtil& audio = watched.audio;
        audio.OnStatusChange = [&watched](TVyraAudioUtil* sender, int status) {
            watched.statuses.append(status);
            if (status == AudioIdle && watched.statuses.size() == 2) {
                sender->PrepareRecord();
                sender->StartRecord();
            }
        };
        audio.SetFileName(tone);
        audio.Play();
        QTRY_COMPARE_WITH_TIMEOUT(watched.statuses,
                                  (QList<int>{AudioPlaying, AudioIdle, AudioRecording}), EndWaitMs);
        QTest::qWait(500);
        audio.Stop();
        QCOMPARE(watched.statuses,
                 (QList<int>{AudioPlaying, AudioIdle, AudioRecording, AudioIdle}));
    }

    void stopEndsPlaybackOnce() {
        const QString tone = FilePath(QStringLiteral("long.wav"));
        MakeTone(tone, Mono16k, 5.0);
        WatchedAudio watched;
        watched.audio.SetFileName(tone);
        watched.audio.Play();
        QTest::qWait(300);
        watched.audio.Stop();
        QCOMPARE(watched.statuses, (QList<int>{AudioPlaying, AudioIdle}));
        watched.audio.Stop();
        QTest::qWait(500);
        QCOMPARE(watched.statuses, (QList<int>{AudioPlaying, AudioIdle}));
    }

    void playRefusesWhatIsNotPlayable_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("soxFormat");
        QTest::newRow("missing file") << QByteArray() << QStringList{};
        QTest::newRow("text file") << QByteArray("Living without an aim\n") << QStringList{};
        QTest::newRow("empty file") << QByteArray("") << QStringList{};
        QTest::newRow("header only") << QByteArray("RIFF\x04\0\0\0WAVE", 12) << QStringList{};
        QTest::newRow("24-bit samples") << QByteArray() << QStringList{"-r", "16000", "-b", "24"};
        QTest::newRow("A-law samples") << QByteArray() << QStringList{"-r", "8000", "-e", "a-law"};
        QTest::newRow("four channels") << QByteArray() << QStringList{"-r", "16000", "-c", "4"};
    }

    void playRefusesWhatIsNotPlayable() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, soxFormat);
        const QString path = FilePath(QStringLiteral("unplayable.wav"));
        QFile::remove(path);
        if (!soxFormat.isEmpty()) {
            MakeTone(path, soxFormat, 0.5);
        } else if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }

        WatchedAudio watched;
        watched.audio.SetFileName(path);
        try {
            watched.audio.Play();
            QFAIL("Play did not throw");
        } catch (const std::runtime_error& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(path), error.what());
        }
        QTest::qWait(200);
        QCOMPARE(watched.statuses, QList<int>{});
    }

    void recordingHoldsWhatTheMicrophoneHeard_data() {
        QTest::addColumn<bool>("speak");
        QTest::addColumn<int>("recordMs");
        QTest::newRow("spoken sentence") << true << 10000;
        QTest::newRow("silence") << false << 3000;
        // The check's countdown records a little longer than ten seconds: the file keeps ten.
        QTest::newRow("past ten seconds") << false << 11500;
    }

    void recordingHoldsWhatTheMicrophoneHeard() {
        QFETCH(bool, speak);
        QFETCH(int, recordMs);
        WatchedAudio watched;
        WatchedLevels levels;
        TQtAudioUtil& audio = watched.audio;
        audio.SetSampleRate(16000);
        audio.SetSampleSize(16);
        audio.SetNewDataNotifyEnabled(true);
        audio.PrepareRecord();
        QElapsedTimer recording;
        recording.start();
        audio.StartRecord();
        QCOMPARE(watched.statuses, QList<int>{AudioRecording});

        QProcess speaker;
        if (speak)
            speaker.start(QStringLiteral(PARVELO_PULSE_SESSION_COMMAND),
                          {"speak", PARVELO_PULSE_SESSION_DIR, speech_});
        QTest::qWait(recordMs);
        audio.Stop();
        const qint64 recordedMs = recording.elapsed();
        QCOMPARE(watched.statuses, (QList<int>{AudioRecording, AudioIdle}));
        if (speak) {
            QVERIFY(speaker.state() == QProcess::NotRunning || speaker.waitForFinished(10000));
            QCOMPARE(speaker.exitStatus(), QProcess::NormalExit);
            QCOMPARE(speaker.exitCode(), 0);
        }

        const QString saved = FilePath(QStringLiteral("recording.wav"));
        const QString answer = audio.SaveRecord(saved);
        const SoundFormat format = SoundFileFormat(saved);
        QCOMPARE(format.sampleRate, 16000);
        QCOMPARE(format.bitsPerSample, 16);
        QCOMPARE(format.channels, 1);
        const double seconds = SoundSeconds(saved);
        qInfo("recorded %.2f s while recording for %lld ms", seconds, recordedMs);
        QCOMPARE(answer, QStringLiteral("%1 s recorded").arg(seconds, 0, 'f', 2));
        // The server hands the samples over in 100 ms chunks; the last ones may still be on
        // their way when Stop comes.
        QVERIFY2(qAbs(seconds * 1000 - qMin<qint64>(recordedMs, 10000)) <= 300, qPrintable(answer));
        if (recordMs > 10000)
            QCOMPARE(seconds, 10.0);

        const double peak = SoundPeakDbfs(saved);
        QVERIFY(!levels.levels.isEmpty());
        const double loudestChunk = *std::max_element(levels.levels.cbegin(), levels.levels.cend());
        if (speak) {
            QVERIFY2(peak > -20, qPrintable(QString::number(peak)));
            QVERIFY2(loudestChunk > -20, qPrintable(QString::number(loudestChunk)));
        } else {
            QVERIFY2(peak < -60, qPrintable(QString::number(peak)));
            QVERIFY2(loudestChunk < -60, qPrintable(QString::number(loudestChunk)));
        }
        // The meter falls back when the recording ends.
        QCOMPARE(levels.levels.last(), -std::numeric_limits<double>::infinity());
    }

    void startRecordPreparesWhenNeeded() {
        WatchedAudio watched;
        watched.audio.StartRecord();
        QTest::qWait(1000);
        watched.audio.Stop();
        QCOMPARE(watched.statuses, (QList<int>{AudioRecording, AudioIdle}));
        const QString saved = FilePath(QStringLiteral("unprepared.wav"));
        watched.audio.SaveRecord(saved);
        QVERIFY(SoundSeconds(saved) > 0.5);
    }

    void losingTheMicrophoneKeepsTheRecording() {
        SpareDevice microphone(SpareDevice::Microphone);
        QTRY_COMPARE(DefaultAudioInput(), microphone.Name().toUtf8());
        WatchedAudio watched;
        watched.audio.PrepareRecord();
        watched.audio.StartRecord();
        QTest::qWait(1500);
        microphone.Unplug();
        // Cut short: the check says so instead of judging what it has.
        QTRY_COMPARE_WITH_TIMEOUT(watched.statuses, (QList<int>{AudioRecording, AudioDeviceLost}),
                                  EndWaitMs);
        watched.audio.Stop();
        QCOMPARE(watched.statuses, (QList<int>{AudioRecording, AudioDeviceLost}));
        const QString saved = FilePath(QStringLiteral("unplugged.wav"));
        watched.audio.SaveRecord(saved);
        QVERIFY(SoundSeconds(saved) > 1.0);
    }

    void losingTheLoudspeakerEndsPlayback() {
        const QString tone = FilePath(QStringLiteral("endless.wav"));
        MakeTone(tone, Mono16k, 60.0);
        SpareDevice speaker(SpareDevice::Speaker);
        QTRY_COMPARE(DefaultAudioOutput(), speaker.Name().toUtf8());
        WatchedAudio watched;
        watched.audio.SetFileName(tone);
        watched.audio.Play();
        QTest::qWait(500);
        speaker.Unplug();
        QTRY_COMPARE_WITH_TIMEOUT(watched.statuses, (QList<int>{AudioPlaying, AudioDeviceLost}),
                                  EndWaitMs);
    }

    void prepareRecordRefusesWithoutMicrophone() {
        Pactl({"unload-module", "module-remap-source"});
        const auto replug = qScopeGuard([] {
            PactlInCleanup({"load-module", "module-remap-source", "master=micfeed.monitor",
                            "source_name=mic"});
            PactlInCleanup({"set-default-source", "mic"});
        });
        // The server now offers only monitors of loudspeakers; Qt 6.8 goes on listing the
        // removed microphone, and a recorder opened on it would never start.
        WatchedAudio watched;
        try {
            watched.audio.PrepareRecord();
            QFAIL("PrepareRecord did not throw");
        } catch (const std::runtime_error& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("没有可用的麦克风")),
                     error.what());
        }
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, watched.audio.StartRecord());
        QCOMPARE(watched.statuses, QList<int>{});
    }

    void prepareRecordRefusesOtherSampleSizes_data() {
        QTest::addColumn<int>("bits");
        QTest::newRow("8 bits") << 8;
        QTest::newRow("24 bits") << 24;
        QTest::newRow("32 bits") << 32;
    }

    void prepareRecordRefusesOtherSampleSizes() {
        QFETCH(int, bits);
        WatchedAudio watched;
        watched.audio.SetSampleSize(bits);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, watched.audio.PrepareRecord());
        QCOMPARE(watched.statuses, QList<int>{});
    }

    void saveRecordRefusesUnwritablePaths_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("missing folder") << QStringLiteral("missing/recording.wav");
        QTest::newRow("folder is a file") << QStringLiteral("speech.wav/recording.wav");
        QTest::newRow("path is a folder") << QStringLiteral(".");
    }

    void saveRecordRefusesUnwritablePaths() {
        QFETCH(QString, relativePath);
        const QString path = FilePath(relativePath);
        WatchedAudio watched;
        watched.audio.StartRecord();
        QTest::qWait(300);
        watched.audio.Stop();
        try {
            watched.audio.SaveRecord(path);
            QFAIL("SaveRecord did not throw");
        } catch (const std::runtime_error& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(path), error.what());
        }
    }

    void defaultDevicesAreTheServersDefaults_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("sharedDevice");
        QTest::newRow("loudspeaker") << int(SpareDevice::Speaker) << QStringLiteral("speaker");
        QTest::newRow("microphone") << int(SpareDevice::Microphone) << QStringLiteral("mic");
    }

    void defaultDevicesAreTheServersDefaults() {
        QFETCH(int, kind);
        QFETCH(QString, sharedDevice);
        const auto defaultDevice = [kind] {
            return QString::fromUtf8(kind == SpareDevice::Speaker ? DefaultAudioOutput()
                                                                  : DefaultAudioInput());
        };
        QCOMPARE(defaultDevice(), sharedDevice);
        SpareDevice spare{SpareDevice::Kind(kind)};
        QTRY_COMPARE(defaultDevice(), spare.Name());
        spare.MakeDefault(sharedDevice);
        QTRY_COMPARE(defaultDevice(), sharedDevice);
    }
};

QTEST_MAIN(QtAudioUtilTest)
#include "qtaudioutil_gui_test.moc"
