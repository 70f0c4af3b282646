#include "reccheck/engine/micvolume.h"
#include "reccheck/engine/speechengine.h"
#include "reccheck/engine/speechverdict.h"
#include "support/qtprint.h"
#include "testrecordings.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

// Against the private sound server of the test fixture (PULSE_SERVER), whose default source is
// the virtual microphone. The volume is set and read with pactl, apart from the code under test.
namespace {

QString Pactl(const QStringList& arguments) {
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), arguments);
    if (!pactl.waitForFinished(10000) || pactl.exitCode() != 0)
        return QStringLiteral("pactl failed: ") +
               QString::fromLocal8Bit(pactl.readAllStandardError());
    return QString::fromLocal8Bit(pactl.readAllStandardOutput());
}

void SetMicVolume(quint32 volume) {
    Pactl({QStringLiteral("set-source-volume"), QStringLiteral("@DEFAULT_SOURCE@"),
           QString::number(volume)});
}

// The first channel's volume, from "Volume: mono: 65536 / 100% / 0.00 dB".
qint64 MicVolume() {
    const QString text =
        Pactl({QStringLiteral("get-source-volume"), QStringLiteral("@DEFAULT_SOURCE@")});
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral(":\\s*(\\d+)\\s*/")).match(text);
    EXPECT_TRUE(match.hasMatch()) << text.toStdString();
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

quint32 Percent(double percent) {
    return static_cast<quint32>(std::lround(percent * NormalVolume / 100.0));
}

struct ServerCase {
    const char* name;
    double startPercent;
    double speechDb;
    bool clipped;
    double endPercent;
    const char* said;
};

void PrintTo(const ServerCase& c, std::ostream* os) {
    *os << c.name;
}

// Leaves the microphone at 100 % for the tests that record after this one.
class OnServer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(qEnvironmentVariableIsSet("PULSE_SERVER"))
            << "runs against the private sound server only";
    }
    void TearDown() override { SetMicVolume(NormalVolume); }
};

class MicVolumeOnServer : public OnServer, public testing::WithParamInterface<ServerCase> {};

TEST_P(MicVolumeOnServer, SetsTheDefaultSource) {
    const ServerCase& c = GetParam();
    SetMicVolume(Percent(c.startPercent));
    ASSERT_EQ(MicVolume(), Percent(c.startPercent));

    const QString said = AdjustMicrophoneVolume(c.speechDb, c.clipped);
    EXPECT_EQ(said, QString::fromUtf8(c.said));
    EXPECT_NEAR(MicVolume(), Percent(c.endPercent), 2);
}

// 100 % down by 11 dB on the cube-root scale is 65.6 %.
INSTANTIATE_TEST_SUITE_P(
    Cases, MicVolumeOnServer,
    testing::Values(ServerCase{"quiet_raised_to_the_limit", 100, -54, false, 150,
                               "volume of mic set from 100 % to 150 %"},
                    ServerCase{"clipped_lowered", 100, -10, true, 100 * std::pow(10.0, -11 / 60.0),
                               "volume of mic set from 100 % to 66 %"},
                    ServerCase{"above_the_limit_kept", 199, -54, false, 199,
                               "volume of mic kept at 199 % (limit)"},
                    ServerCase{"in_band_untouched", 70, -20, false, 70,
                               "volume kept: speech within -30..-12 dBFS"}),
    [](const testing::TestParamInfo<ServerCase>& info) { return info.param.name; });

using SpeechEngineOnServer = OnServer;

TEST_F(SpeechEngineOnServer, QuietRecordingRaisesTheMicrophone) {
    QTemporaryDir dir;
    TTestRecordings recordings(dir.path());
    const QString quiet =
        recordings.Speech(QStringLiteral("quiet.wav"), QString::fromUtf8(CheckSentence), {},
                          {QStringLiteral("gain"), QStringLiteral("-n"), QStringLiteral("-45")});
    ASSERT_FALSE(quiet.isEmpty()) << recordings.Error().toStdString();
    SetMicVolume(NormalVolume);

    QStringList lines;
    TSpeechEngine engine(dir.path() + '/',
                         TAudioControlsHost{[&lines](const QString& line) { lines << line; }});
    EXPECT_EQ(engine.CheckRecordFile(quiet), VerdictTooQuiet);
    EXPECT_EQ(MicVolume(), MaxSourceVolume);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("; volume of mic set from 100 % to 150 %")))
        << lines[0].toStdString();
}

} // namespace
