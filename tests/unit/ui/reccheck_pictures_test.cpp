// The microphone check's pictures as the program loads them: a broken regeneration of the
// artwork (wrong size, lost colour key, text drawn where a control sits) shows up here.

#include "ui/formresources.h"

#include "support/qtprint.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QRgb Olive = qRgb(128, 128, 0);

QImage Load(const QString& path) {
    InitFormResources();
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// The first row of place that is not one plain colour from left to right, or -1.
int FirstBusyRow(const QImage& image, const QRect& place) {
    for (int y = place.top(); y <= place.bottom(); ++y)
        for (int x = place.left() + 1; x <= place.right(); ++x)
            if (image.pixel(x, y) != image.pixel(place.left(), y))
                return y;
    return -1;
}

struct PictureCase {
    const char* path;
    QSize size;
};

void PrintTo(const PictureCase& c, std::ostream* out) {
    *out << c.path;
}

class CheckPicture : public testing::TestWithParam<PictureCase> {};

TEST_P(CheckPicture, LoadsAtItsSize) {
    const QImage picture = Load(QString::fromLatin1(GetParam().path));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), GetParam().size);
}

const QSize Page(558, 353);
const QSize Close(19, 19);
const QSize Wide(108, 36);
const QSize Speaker(27, 26);
const QSize Mic(21, 34);
const QSize TipButton(77, 30);

INSTANTIATE_TEST_SUITE_P(Pages, CheckPicture,
                         testing::Values(PictureCase{":/forms/checkrecord/page_start.png", Page},
                                         PictureCase{":/forms/checkrecord/page_success.png", Page},
                                         PictureCase{":/forms/checkrecord/page_failure.png", Page},
                                         PictureCase{":/forms/tipcheckrec/background.png",
                                                     {342, 193}}));

const std::vector<PictureCase> Faces = {
    {":/forms/checkrecord/close_up.png", Close},
    {":/forms/checkrecord/close_hot.png", Close},
    {":/forms/checkrecord/close_down.png", Close},
    {":/forms/checkrecord/close_disabled.png", Close},
    {":/forms/checkrecord/start_up.png", Wide},
    {":/forms/checkrecord/start_hot.png", Wide},
    {":/forms/checkrecord/start_down.png", Wide},
    {":/forms/checkrecord/finish_up.png", Wide},
    {":/forms/checkrecord/finish_hot.png", Wide},
    {":/forms/checkrecord/finish_down.png", Wide},
    {":/forms/checkrecord/exit_up.png", Wide},
    {":/forms/checkrecord/exit_hot.png", Wide},
    {":/forms/checkrecord/exit_down.png", Wide},
    {":/forms/checkrecord/retry_up.png", Wide},
    {":/forms/checkrecord/retry_hot.png", Wide},
    {":/forms/checkrecord/retry_down.png", Wide},
    {":/forms/checkrecord/speaker_up.png", Speaker},
    {":/forms/checkrecord/speaker_hot.png", Speaker},
    {":/forms/checkrecord/speaker_down.png", Speaker},
    {":/forms/checkrecord/mic.png", Mic},
    {":/forms/tipcheckrec/button_up.png", TipButton},
    {":/forms/tipcheckrec/button_hot.png", TipButton},
    {":/forms/tipcheckrec/button_down.png", TipButton},
};

INSTANTIATE_TEST_SUITE_P(Faces, CheckPicture, testing::ValuesIn(Faces));

class OliveKeyedFace : public testing::TestWithParam<PictureCase> {};

// Olive is the transparent colour: the corners round off in it, the face itself shows, and
// no olive-tinted fringe survives (it would show as a brownish rim on any background).
TEST_P(OliveKeyedFace, KeysItsOutlineInOlive) {
    const QImage face = Load(QString::fromLatin1(GetParam().path));
    ASSERT_EQ(face.size(), GetParam().size);
    const int w = face.width();
    const int h = face.height();
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        EXPECT_EQ(face.pixel(corner), Olive) << "corner " << corner.x() << "," << corner.y();

    int keyed = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = face.pixel(x, y);
            if (pixel == Olive) {
                ++keyed;
                continue;
            }
            const int distance = std::abs(qRed(pixel) - 128) + std::abs(qGreen(pixel) - 128) +
                                 std::abs(qBlue(pixel));
            EXPECT_GT(distance, 40) << "nearly olive at " << x << "," << y;
        }
    EXPECT_GT(w * h - keyed, w * h / 5) << "hardly anything drawn";
}

INSTANTIATE_TEST_SUITE_P(Faces, OliveKeyedFace, testing::ValuesIn(Faces));

QString CheckRecordPath(const char* name) {
    return QStringLiteral(":/forms/checkrecord/%1.png").arg(QLatin1String(name));
}

// Every state of a button, and every caption, is a picture of its own.
TEST(CheckFaces, DifferFromEachOther) {
    const std::vector<std::vector<const char*>> groups = {
        {"close_up", "close_hot", "close_down", "close_disabled"},
        {"start_up", "start_hot", "start_down"},
        {"finish_up", "finish_hot", "finish_down"},
        {"exit_up", "exit_hot", "exit_down"},
        {"retry_up", "retry_hot", "retry_down"},
        {"speaker_up", "speaker_hot", "speaker_down"},
        {"start_up", "finish_up", "exit_up", "retry_up"},
    };
    for (const auto& group : groups)
        for (std::size_t a = 0; a < group.size(); ++a)
            for (std::size_t b = a + 1; b < group.size(); ++b)
                EXPECT_FALSE(Load(CheckRecordPath(group[a])) == Load(CheckRecordPath(group[b])))
                    << group[a] << " and " << group[b];
}

double Luminance(const QColor& colour) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

// The tip dialog draws its captions on these faces in the light window colour.
TEST(TipFaces, AreDarkEnoughForLightCaptions) {
    const QColor caption(240, 240, 240);
    for (const char* name : {"button_up", "button_hot", "button_down"}) {
        const QImage face =
            Load(QStringLiteral(":/forms/tipcheckrec/%1.png").arg(QLatin1String(name)));
        ASSERT_EQ(face.size(), TipButton) << name;
        // The caption covers the middle of the face.
        double lightest = 0;
        for (int y = 8; y < 22; ++y)
            for (int x = 14; x < 63; ++x)
                lightest = std::max(lightest, Luminance(face.pixelColor(x, y)));
        const double contrast = (Luminance(caption) + 0.05) / (lightest + 0.05);
        EXPECT_GE(contrast, 4.5) << name;
    }
}

struct FreePlaceCase {
    const char* page;
    QRect place;
    const char* what;
};

void PrintTo(const FreePlaceCase& c, std::ostream* out) {
    *out << c.page << " under the " << c.what;
}

class CheckPageFreePlace : public testing::TestWithParam<FreePlaceCase> {};

// Controls are drawn over the pages; the pictures show nothing but background there.
TEST_P(CheckPageFreePlace, ShowsOnlyBackground) {
    const FreePlaceCase& c = GetParam();
    const QImage page = Load(CheckRecordPath(c.page));
    ASSERT_EQ(page.size(), Page);
    EXPECT_EQ(FirstBusyRow(page, c.place), -1);
}

// Inside the one-pixel frame, from row 260 down: countdown, microphone icon, progress bar and
// the buttons.
const QRect BottomBand(1, 260, 556, 92);
const QRect CloseButton(528, 12, 19, 19);

INSTANTIATE_TEST_SUITE_P(
    Places, CheckPageFreePlace,
    testing::Values(FreePlaceCase{"page_start", CloseButton, "close button"},
                    FreePlaceCase{"page_success", CloseButton, "close button"},
                    FreePlaceCase{"page_failure", CloseButton, "close button"},
                    FreePlaceCase{"page_start", BottomBand, "countdown and start button"},
                    FreePlaceCase{"page_success", BottomBand, "finish button"},
                    FreePlaceCase{"page_failure", BottomBand, "retry and exit buttons"},
                    FreePlaceCase{"page_start", QRect(336, 178, 27, 26), "loudspeaker"}));

QImage LevelMeterPicture(const char* name) {
    return QImage(QStringLiteral(PARVELO_SOURCE_DIR "/resources/install/engine/bin/%1").arg(name))
        .convertToFormat(QImage::Format_RGB32);
}

// The meter uncovers the foreground over the background from the bottom up: both carry the
// same segments, lit green at the bottom and red at the top in the foreground.
TEST(LevelMeterPictures, LightTheSameSegmentsGreenToRed) {
    const QImage background = LevelMeterPicture("revirode_sound_bg.bmp");
    const QImage foreground = LevelMeterPicture("revirode_sound_fg.bmp");
    ASSERT_EQ(background.size(), QSize(70, 150));
    ASSERT_EQ(foreground.size(), QSize(70, 150));

    struct Sum {
        double red = 0, green = 0;
        int lit = 0, brighter = 0;
    };
    const auto sumRows = [&](int top, int bottom) {
        Sum sum;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < foreground.width(); ++x) {
                const QColor lit = foreground.pixelColor(x, y);
                const QColor dim = background.pixelColor(x, y);
                if (lit == dim)
                    continue;
                ++sum.lit;
                sum.brighter += lit.value() > dim.value();
                sum.red += lit.red();
                sum.green += lit.green();
            }
        return sum;
    };
    const Sum top = sumRows(0, 30);
    const Sum bottom = sumRows(120, 150);
    ASSERT_GT(top.lit, 0) << "nothing lights at the top";
    ASSERT_GT(bottom.lit, 0) << "nothing lights at the bottom";
    EXPECT_EQ(top.brighter, top.lit);
    EXPECT_EQ(bottom.brighter, bottom.lit);
    EXPECT_GT(bottom.green, bottom.red);
    EXPECT_GT(top.red, top.green);
}

} // namespace
