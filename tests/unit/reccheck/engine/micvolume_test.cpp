#include "reccheck/engine/micvolume.h"
#include "reccheck/engine/speechanalysis.h"
#include "scopedenvironment.h"
#include "support/qtprint.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

namespace {

// The sound server's volumes are the cube root of the power: dB = 60 log10(volume / 100 %).
double PercentAfter(double percent, double changeDb) {
    return percent * std::pow(10.0, changeDb / 60.0);
}

quint32 FromPercent(double percent) {
    return static_cast<quint32>(std::lround(percent * NormalVolume / 100.0));
}

struct VolumeCase {
    const char* name;
    double currentPercent;
    double speechDb;
    bool clipped;
    double expectedPercent;
};

void PrintTo(const VolumeCase& c, std::ostream* os) {
    *os << c.name;
}

class VolumeStep : public testing::TestWithParam<VolumeCase> {};

TEST_P(VolumeStep, MovesSpeechToTheBandWithinTheBounds) {
    const VolumeCase& c = GetParam();
    const quint32 adjusted =
        AdjustedSourceVolume(FromPercent(c.currentPercent), c.speechDb, c.clipped);
    EXPECT_NEAR(100.0 * adjusted / NormalVolume, c.expectedPercent, 0.01);
}

// The band is -30..-12 dBFS, its middle -21 dBFS; the bounds are 20 % and 150 %.
INSTANTIATE_TEST_SUITE_P(
    Cases, VolumeStep,
    testing::Values(
        VolumeCase{"in_band", 100, -20, false, 100}, VolumeCase{"at_low_edge", 80, -30, false, 80},
        VolumeCase{"at_high_edge", 80, -12, false, 80},
        VolumeCase{"a_little_quiet", 50, -33, false, PercentAfter(50, 12)},
        VolumeCase{"a_little_loud", 100, -6, false, PercentAfter(100, -15)},
        VolumeCase{"very_quiet_stops_at_150", 100, -54, false, 150},
        VolumeCase{"very_loud_stops_at_20", 40, 0, false, 20},
        VolumeCase{"clipped_in_band_goes_6_db_down", 100, -15, true, PercentAfter(100, -6)},
        VolumeCase{"clipped_loud_goes_to_the_middle", 100, -5, true, PercentAfter(100, -16)},
        VolumeCase{"clipped_without_voice_goes_6_db_down", 100, SilenceDb, true,
                   PercentAfter(100, -6)},
        VolumeCase{"quiet_above_150_is_not_lowered", 199, -54, false, 199},
        VolumeCase{"loud_below_20_is_not_raised", 10, -3, false, 10},
        VolumeCase{"quiet_at_zero_starts_from_20", 0, -40, false, PercentAfter(20, 19)}),
    [](const testing::TestParamInfo<VolumeCase>& info) { return info.param.name; });

TEST(VolumeChangeTest, IsNeededOutsideTheBandOrWhenClipped) {
    EXPECT_FALSE(NeedsVolumeChange(-21, false));
    EXPECT_TRUE(NeedsVolumeChange(-21, true));
    EXPECT_TRUE(NeedsVolumeChange(-30.1, false));
    EXPECT_TRUE(NeedsVolumeChange(-11.9, false));
}

// A server address where no server listens, so that no test touches the user's own server.
class NoSoundServer : public testing::Test {
protected:
    QTemporaryDir Dir;
    TScopedEnvironment Server{"PULSE_SERVER",
                              "unix:" + QFile::encodeName(Dir.filePath(QStringLiteral("none")))};
};

TEST_F(NoSoundServer, AdjustmentChangesNothingAndSaysSo) {
    const QString text = AdjustMicrophoneVolume(-54, false);
    EXPECT_TRUE(text.startsWith(QStringLiteral("volume not adjusted: no sound server")))
        << text.toStdString();
}

TEST_F(NoSoundServer, LevelInBandNeedsNoServer) {
    EXPECT_TRUE(AdjustMicrophoneVolume(-20, false).startsWith(QStringLiteral("volume kept")));
}

} // namespace
