#include "splashmovie.h"

#include "movie.h"
#include "painting.h"
#include "tags.h"

#include <algorithm>
#include <cmath>

namespace {

enum Depth : std::uint16_t { BandDepth = 1, DotsDepth, BarDepth, NameDepth };
enum ShapeId : std::uint16_t { BandShape = 1, DotsShape, BarShape, NameShape };

// Two seconds at 24 frames a second; the last frame stays.
constexpr QSize SplashSize{480, 260};
constexpr int SplashFramesPerSecond = 24;
constexpr int SplashFrameCount = 48;

constexpr int BandTop = 200;
constexpr double BarWidth = 300;
constexpr double BarHeight = 8;
constexpr int BarMiddle = 158;
constexpr int NameMiddle = 100;
// The name starts this far left of its place.
constexpr double NameSlide = 60;
// The dots start just off the left edge.
constexpr double DotsFirstX = -20;
constexpr double DotsLastX = 440;
constexpr double Pi = 3.14159265358979323846;

// Changing shapes are drawn white and coloured per frame by their colour transform.
const QColor White{255, 255, 255};

// How far (0 to 1) an effect running from frame first to frame last has come at frame.
double Progress(int frame, int first, int last) {
    return std::clamp(static_cast<double>(frame - first) / (last - first), 0.0, 1.0);
}

// Fast at first, settling gently.
double EaseOut(double t) {
    return 1.0 - std::pow(1.0 - t, 3.0);
}

QColor Mix(const QColor& from, const QColor& to, double t) {
    const auto channel = [t](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * t));
    };
    return {channel(from.red(), to.red()), channel(from.green(), to.green()),
            channel(from.blue(), to.blue())};
}

std::int32_t Twips(double pixels) {
    return static_cast<std::int32_t>(std::lround(pixels * TwipsPerPixel));
}

QPainterPath Band() {
    QPainterPath path;
    path.addRect(0, BandTop, SplashSize.width(), SplashSize.height() - BandTop);
    return path;
}

// Three dots of falling size, the largest in front, around the shape's origin.
QPainterPath Dots() {
    QPainterPath path;
    path.addEllipse(QPointF(0, 0), 9, 9);
    path.addEllipse(QPointF(-26, 0), 6, 6);
    path.addEllipse(QPointF(-46, 0), 4, 4);
    return path;
}

// Starts at the shape's origin, so a horizontal scale lengthens it to the right.
QPainterPath Bar() {
    return RoundedBox(QRectF(0, -BarHeight / 2, BarWidth, BarHeight), BarHeight / 2);
}

// Centred on the shape's origin, so it can be put anywhere by its middle.
QPainterPath Name() {
    QFont font = CjkFont(46, true);
    // Outlines, not pixels: hinting would bend them to a pixel grid they never meet.
    font.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath path;
    path.addText(0, 0, font, QStringLiteral("Parvelo 大学英语"));
    return path.translated(-path.boundingRect().center());
}

void DefineShapes(SwfMovie& movie) {
    movie.Add(SetBackgroundColorTag(Look::Dark));
    movie.Add(DefineShapeTag(BandShape, Band(), Look::Deep));
    movie.Add(DefineShapeTag(DotsShape, Dots(), White));
    movie.Add(DefineShapeTag(BarShape, Bar(), White));
    movie.Add(DefineShapeTag(NameShape, Name(), White));
}

// The dots come in from the left and settle at the right end of the band, pulsing twice.
Placement DotsAt(int frame) {
    const double t = Progress(frame, 0, SplashFrameCount - 1);
    const double pulse = 1.0 + 0.25 * std::sin(t * 4 * Pi);
    return {pulse, pulse, Twips(DotsFirstX + EaseOut(t) * (DotsLastX - DotsFirstX)),
            Twips((BandTop + SplashSize.height()) / 2.0)};
}

ColorTransform DotsColors(int frame) {
    const double t = Progress(frame, 0, SplashFrameCount - 1);
    return Tint(Mix(Look::Bright, Look::Pale, t), 1.0);
}

Placement BarAt(int frame) {
    const double length = EaseOut(Progress(frame, 2, SplashFrameCount - 4));
    // Never quite zero: a zero scale gives a matrix that cannot be inverted.
    return {std::max(length, 0.01), 1.0, Twips((SplashSize.width() - BarWidth) / 2),
            Twips(BarMiddle)};
}

ColorTransform BarColors(int frame) {
    return Tint(Mix(Look::Mid, Look::Light, Progress(frame, 2, SplashFrameCount - 4)), 1.0);
}

Placement NameAt(int frame) {
    const double t = EaseOut(Progress(frame, 3, 30));
    return {1.0, 1.0, Twips(SplashSize.width() / 2.0 - NameSlide * (1.0 - t)), Twips(NameMiddle)};
}

ColorTransform NameColors(int frame) {
    return Tint(Look::Paler, Progress(frame, 3, 20));
}

} // namespace

QByteArray SplashMovie() {
    SwfMovie movie(SplashSize, SplashFramesPerSecond);
    DefineShapes(movie);

    movie.Add(PlaceObjectTag(BandDepth, BandShape, {}, {}));
    movie.Add(PlaceObjectTag(DotsDepth, DotsShape, DotsAt(0), DotsColors(0)));
    movie.Add(PlaceObjectTag(BarDepth, BarShape, BarAt(0), BarColors(0)));
    movie.Add(PlaceObjectTag(NameDepth, NameShape, NameAt(0), NameColors(0)));
    movie.ShowFrame();
    for (int frame = 1; frame < SplashFrameCount; ++frame) {
        movie.Add(MoveObjectTag(DotsDepth, DotsAt(frame), DotsColors(frame)));
        movie.Add(MoveObjectTag(BarDepth, BarAt(frame), BarColors(frame)));
        movie.Add(MoveObjectTag(NameDepth, NameAt(frame), NameColors(frame)));
        if (frame == SplashFrameCount - 1) {
            movie.Add(StopActionTag());
        }
        movie.ShowFrame();
    }
    return movie.Bytes();
}
