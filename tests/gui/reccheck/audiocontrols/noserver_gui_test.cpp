#include "reccheck/audiocontrols/qtaudioutil.h"
#include "soundfiles.h"
#include "system/pulsedefaults.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <stdexcept>

// The recorder and player on a machine without a sound server: every operation that needs a
// device fails with a message at once, and no status is ever reported.
class NoServerTest : public QObject {
    Q_OBJECT

public:
    explicit NoServerTest(const QString& dir) : dir_(dir) {}

private:
    QString dir_;
    QString tone_;
    std::unique_ptr<TQtAudioUtil> audio_;
    QList<int> statuses_;

private slots:
    void initTestCase() {
        QVERIFY(!QueryPulseDefaults());
        tone_ = dir_ + QStringLiteral("/tone.wav");
        MakeTone(tone_, {"-r", "16000", "-b", "16", "-c", "1"}, 0.5);
    }

    void init() {
        statuses_.clear();
        audio_ = std::make_unique<TQtAudioUtil>();
        audio_->OnStatusChange = [this](TVyraAudioUtil*, int status) { statuses_.append(status); };
        audio_->SetFileName(tone_);
    }

    void cleanup() {
        audio_->Stop();
        QTest::qWait(200);
        QCOMPARE(statuses_, QList<int>{});
        audio_.reset();
    }

    void playThrows() { QVERIFY_THROWS_EXCEPTION(std::runtime_error, audio_->Play()); }
    void prepareRecordThrows() {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, audio_->PrepareRecord());
    }
    void startRecordThrows() {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, audio_->StartRecord());
    }
};

// A fresh runtime directory and no server address: the sound library finds no server, and its
// client configuration keeps it from starting one.
int main(int argc, char** argv) {
    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    QFile clientConfig(runtime.filePath(QStringLiteral("client.conf")));
    if (!clientConfig.open(QIODevice::WriteOnly) || clientConfig.write("autospawn = no\n") < 0)
        return 1;
    clientConfig.close();
    qunsetenv("PULSE_SERVER");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("PULSE_CLIENTCONFIG", QFile::encodeName(clientConfig.fileName()));
    QApplication app(argc, argv);
    NoServerTest test(runtime.path());
    return QTest::qExec(&test, argc, argv);
}
#include "noserver_gui_test.moc"
