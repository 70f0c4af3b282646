#include "reccheck/engine/speechengine.h"
#include "reccheck/engine/speechverdict.h"
#include "scopedenvironment.h"
#include "support/qtprint.h"
#include "testrecordings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SpeechEngineTest : public testing::Test {
protected:
    TAudioControlsHost Host() {
        return TAudioControlsHost{[this](const QString& line) { Lines << line; }};
    }

    QTemporaryDir Dir;
    // No test may change the volume of the user's own microphone.
    TScopedEnvironment Server{"PULSE_SERVER",
                              "unix:" + QFile::encodeName(Dir.filePath(QStringLiteral("none")))};
    TTestRecordings Recordings{Dir.path()};
    QStringList Lines;
};

TEST_F(SpeechEngineTest, GivesItsDirectory) {
    TSpeechEngine engine(QStringLiteral("/opt/engine/"), Host());
    EXPECT_EQ(engine.EngineDir(), QStringLiteral("/opt/engine/"));
    EXPECT_TRUE(Lines.isEmpty()) << Lines.join('\n').toStdString();
}

TEST_F(SpeechEngineTest, PassingRecordingWritesOneLineAndKeepsTheVolume) {
    const QString path =
        Recordings.Speech(QStringLiteral("sentence.wav"), QString::fromUtf8(CheckSentence));
    ASSERT_FALSE(path.isEmpty()) << Recordings.Error().toStdString();
    TSpeechEngine engine(Dir.path() + '/', Host());

    EXPECT_EQ(engine.CheckRecordFile(path), VerdictPass);
    ASSERT_EQ(Lines.size(), 1);
    EXPECT_TRUE(
        Lines[0].startsWith(QStringLiteral("speech engine: %1 verdict 0 (pass): ").arg(path)))
        << Lines[0].toStdString();
    EXPECT_TRUE(Lines[0].contains(QStringLiteral("sentence yes")));
    EXPECT_TRUE(Lines[0].endsWith(QStringLiteral("; volume kept: speech within -30..-12 dBFS")))
        << Lines[0].toStdString();
}

TEST_F(SpeechEngineTest, QuietRecordingTriesTheAdjustment) {
    const QString path =
        Recordings.Speech(QStringLiteral("quiet.wav"), QString::fromUtf8(CheckSentence), {},
                          {QStringLiteral("gain"), QStringLiteral("-n"), QStringLiteral("-50")});
    ASSERT_FALSE(path.isEmpty()) << Recordings.Error().toStdString();
    TSpeechEngine engine(Dir.path() + '/', Host());

    EXPECT_EQ(engine.CheckRecordFile(path), VerdictTooQuiet);
    ASSERT_EQ(Lines.size(), 1);
    EXPECT_TRUE(Lines[0].contains(QStringLiteral("verdict 5 (too quiet)")));
    EXPECT_TRUE(Lines[0].contains(QStringLiteral("; volume not adjusted: no sound server")))
        << Lines[0].toStdString();
}

TEST_F(SpeechEngineTest, UnreadableFileIsACodeNotAnException) {
    TSpeechEngine engine(Dir.path() + '/', Host());
    const QString missing = Dir.filePath(QStringLiteral("missing.wav"));
    int code = -1;
    EXPECT_NO_THROW(code = engine.CheckRecordFile(missing));
    EXPECT_EQ(code, VerdictUnreadable);
    ASSERT_EQ(Lines.size(), 1);
    EXPECT_TRUE(Lines[0].contains(QStringLiteral("verdict 1 (unreadable): cannot open")));
    EXPECT_TRUE(Lines[0].endsWith(QStringLiteral("; volume not adjusted: no voice")));
}

TEST_F(SpeechEngineTest, WithoutTheSpeechModelEveryUsableRecordingFails) {
    const QString path =
        Recordings.Speech(QStringLiteral("sentence.wav"), QString::fromUtf8(CheckSentence));
    ASSERT_FALSE(path.isEmpty()) << Recordings.Error().toStdString();
    TSpeechEngine engine(Dir.path() + '/', Host(), Dir.filePath(QStringLiteral("nomodel")));
    ASSERT_EQ(Lines.size(), 1);
    EXPECT_TRUE(Lines[0].startsWith(QStringLiteral("speech engine: no speech model in")))
        << Lines[0].toStdString();

    EXPECT_EQ(engine.CheckRecordFile(path), VerdictNoSpeechModel);
    EXPECT_EQ(engine.CheckRecordFile(Dir.filePath(QStringLiteral("missing.wav"))),
              VerdictUnreadable);
}

TEST_F(SpeechEngineTest, WorksWithoutALogger) {
    TSpeechEngine engine(Dir.path() + '/', TAudioControlsHost{});
    EXPECT_EQ(engine.CheckRecordFile(Dir.filePath(QStringLiteral("missing.wav"))),
              VerdictUnreadable);
}

} // namespace
