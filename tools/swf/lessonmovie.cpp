#include "lessonmovie.h"

#include "movie.h"
#include "tags.h"

#include <cmath>

namespace {

enum Depth : std::uint16_t { TrackDepth = 1, MarkerDepth };
enum CharacterId : std::uint16_t { TrackShape = 1, MarkerShape, ToneSound };

constexpr QSize LessonSize{320, 160};
constexpr int LessonFramesPerSecond = 12;
constexpr int LessonFrameCount = 24;

constexpr int ToneRate = 11025;
constexpr double ToneFrequency = 440.0;
constexpr double ToneLevel = 0.5;
constexpr double Pi = 3.14159265358979323846;

constexpr int TrackLeft = 20;
constexpr int TrackWidth = 280;
constexpr int TrackMiddle = 80;
constexpr int MarkerRadius = 18;

const QColor Background{24, 52, 92};
const QColor Track{60, 96, 140};
const QColor White{255, 255, 255};
const QColor FirstColor{242, 178, 51};
const QColor LastColor{80, 200, 120};

// The tone lasts one round of the timeline.
std::vector<std::int16_t> Tone() {
    const int count = ToneRate * LessonFrameCount / LessonFramesPerSecond;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        samples[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(
            std::lround(ToneLevel * 32767 * std::sin(2 * Pi * ToneFrequency * n / ToneRate)));
    }
    return samples;
}

QPainterPath TrackPath() {
    QPainterPath path;
    path.addRect(TrackLeft, TrackMiddle - 6, TrackWidth, 12);
    return path;
}

QPainterPath MarkerPath() {
    QPainterPath path;
    path.addEllipse(QPointF(0, 0), MarkerRadius, MarkerRadius);
    return path;
}

// The marker crosses the track once a round.
Placement MarkerAt(int frame) {
    const double x = TrackLeft + TrackWidth * frame / (LessonFrameCount - 1.0);
    return {1.0, 1.0, static_cast<std::int32_t>(std::lround(x * TwipsPerPixel)),
            TrackMiddle * TwipsPerPixel};
}

ColorTransform MarkerColors(int frame) {
    const double t = frame / (LessonFrameCount - 1.0);
    const auto channel = [t](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * t));
    };
    return Tint(QColor(channel(FirstColor.red(), LastColor.red()),
                       channel(FirstColor.green(), LastColor.green()),
                       channel(FirstColor.blue(), LastColor.blue())),
                1.0);
}

} // namespace

QByteArray LessonMovie() {
    SwfMovie movie(LessonSize, LessonFramesPerSecond);
    movie.Add(SetBackgroundColorTag(Background));
    movie.Add(DefineShapeTag(TrackShape, TrackPath(), Track));
    movie.Add(DefineShapeTag(MarkerShape, MarkerPath(), White));
    movie.Add(DefineSoundTag(ToneSound, Tone(), ToneRate));

    movie.Add(PlaceObjectTag(TrackDepth, TrackShape, {}, {}));
    movie.Add(PlaceObjectTag(MarkerDepth, MarkerShape, MarkerAt(0), MarkerColors(0)));
    movie.Add(StartSoundTag(ToneSound));
    movie.ShowFrame();
    for (int frame = 1; frame < LessonFrameCount; ++frame) {
        movie.Add(MoveObjectTag(MarkerDepth, MarkerAt(frame), MarkerColors(frame)));
        movie.ShowFrame();
    }
    return movie.Bytes();
}
