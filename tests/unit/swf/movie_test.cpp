#include "movie.h"
#include "splashmovie.h"
#include "swfreader.h"
#include "tags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

// Tag codes as the file format numbers them.
constexpr int End = 0;
constexpr int ShowFrame = 1;
constexpr int DoAction = 12;
constexpr int PlaceObject2 = 26;
constexpr int DefineShape3 = 32;

int CountTags(const SwfFile& file, int code) {
    return static_cast<int>(std::count_if(file.tags.begin(), file.tags.end(),
                                          [code](const SwfTag& tag) { return tag.code == code; }));
}

struct Placed {
    int depth;
    bool moves;
    int shapeId;
    SwfMatrix matrix;
    SwfColorTransform colors;
};

Placed ReadPlaceObject2(const QByteArray& body) {
    BitReader in(body);
    const std::uint8_t flags = in.ReadUI8();
    Placed placed{};
    placed.moves = (flags & 0x01) != 0;
    placed.depth = in.ReadUI16();
    if ((flags & 0x02) != 0) {
        placed.shapeId = in.ReadUI16();
    }
    if ((flags & 0x04) != 0) {
        placed.matrix = ReadMatrix(in);
    }
    if ((flags & 0x08) != 0) {
        placed.colors = ReadColorTransformWithAlpha(in);
    }
    EXPECT_TRUE(in.AtEnd()) << "unexpected PlaceObject2 fields";
    return placed;
}

class SplashMovieFile : public testing::Test {
protected:
    static void SetUpTestSuite() {
        bytes = new QByteArray(SplashMovie());
        file = new SwfFile(ReadSwf(*bytes));
    }
    static void TearDownTestSuite() {
        delete file;
        delete bytes;
    }
    static QByteArray* bytes;
    static SwfFile* file;
};
QByteArray* SplashMovieFile::bytes = nullptr;
SwfFile* SplashMovieFile::file = nullptr;

TEST_F(SplashMovieFile, HeaderDescribesTheFile) {
    EXPECT_EQ(file->signature, QByteArray("FWS"));
    EXPECT_EQ(file->version, 8);
    EXPECT_EQ(file->fileLength, static_cast<std::uint32_t>(bytes->size()));
    EXPECT_EQ(file->frameSize.xMin, 0);
    EXPECT_EQ(file->frameSize.xMax, 480 * 20);
    EXPECT_EQ(file->frameSize.yMin, 0);
    EXPECT_EQ(file->frameSize.yMax, 260 * 20);
    EXPECT_EQ(file->frameRate, 24.0);
    EXPECT_EQ(file->bytesAfterEnd, 0);
}

TEST_F(SplashMovieFile, FramesLastAboutTwoSeconds) {
    EXPECT_EQ(file->frameCount, CountTags(*file, ShowFrame));
    EXPECT_GE(file->frameCount / file->frameRate, 1.6);
    EXPECT_LE(file->frameCount / file->frameRate, 2.5);
}

// The stop belongs to the last frame: actions run when their frame is shown, and anything
// after the last ShowFrame would never be reached.
TEST_F(SplashMovieFile, LastFrameStops) {
    const std::vector<SwfTag>& tags = file->tags;
    ASSERT_GE(tags.size(), 3U);
    EXPECT_EQ(tags[tags.size() - 1].code, End);
    EXPECT_EQ(tags[tags.size() - 2].code, ShowFrame);
    const auto lastFrameStart = std::find_if(
        tags.rbegin() + 2, tags.rend(), [](const SwfTag& tag) { return tag.code == ShowFrame; });
    const auto stop = std::find_if(tags.rbegin() + 2, lastFrameStart, [](const SwfTag& tag) {
        return tag.code == DoAction && tag.body == QByteArray::fromHex("0700");
    });
    EXPECT_NE(stop, lastFrameStart) << "no DoAction with ActionStop in the last frame";
    EXPECT_EQ(CountTags(*file, DoAction), 1);
}

TEST_F(SplashMovieFile, ShapesAreDefinedBeforeUseAndMovedOnlyWhenPlaced) {
    std::set<int> defined;
    std::set<int> occupiedDepths;
    for (const SwfTag& tag : file->tags) {
        if (tag.code == DefineShape3) {
            BitReader in(tag.body);
            defined.insert(in.ReadUI16());
        } else if (tag.code == PlaceObject2) {
            const Placed placed = ReadPlaceObject2(tag.body);
            if (placed.moves) {
                EXPECT_EQ(occupiedDepths.count(placed.depth), 1U) << "depth " << placed.depth;
            } else {
                EXPECT_EQ(defined.count(placed.shapeId), 1U) << "shape " << placed.shapeId;
                EXPECT_TRUE(occupiedDepths.insert(placed.depth).second);
            }
        }
    }
    EXPECT_GE(defined.size(), 3U);
}

// Every shape's records read back cleanly, closed, and inside its declared bounds.
TEST_F(SplashMovieFile, ShapesReadBackInsideTheirBounds) {
    int curves = 0;
    for (const SwfTag& tag : file->tags) {
        if (tag.code != DefineShape3) {
            continue;
        }
        BitReader in(tag.body);
        const int id = in.ReadUI16();
        const SwfRect bounds = ReadRect(in);
        ASSERT_EQ(in.ReadUI8(), 1) << "one fill style";
        EXPECT_EQ(in.ReadUI8(), 0x00) << "solid";
        in.ReadBytes(4);
        EXPECT_EQ(in.ReadUI8(), 0) << "no line styles";
        const ShapeOutline outline = ReadShapeRecords(in);
        EXPECT_TRUE(in.AtEnd()) << "shape " << id;
        for (const ShapeEdge& edge : outline.edges) {
            EXPECT_GE(edge.to.x(), bounds.xMin) << "shape " << id;
            EXPECT_LE(edge.to.x(), bounds.xMax) << "shape " << id;
            EXPECT_GE(edge.to.y(), bounds.yMin) << "shape " << id;
            EXPECT_LE(edge.to.y(), bounds.yMax) << "shape " << id;
            curves += edge.curved ? 1 : 0;
        }
    }
    EXPECT_GT(curves, 0);
}

// Something changes from frame to frame: each object moved in a frame ends up somewhere or
// in colours other than where it started.
TEST_F(SplashMovieFile, AnimatedObjectsChangeOverTheMovie) {
    std::map<int, Placed> first;
    std::map<int, Placed> last;
    for (const SwfTag& tag : file->tags) {
        if (tag.code == PlaceObject2) {
            const Placed placed = ReadPlaceObject2(tag.body);
            first.emplace(placed.depth, placed);
            last[placed.depth] = placed;
        }
    }
    int changed = 0;
    for (const auto& [depth, start] : first) {
        const Placed& end = last.at(depth);
        const bool moved = start.matrix.translateX != end.matrix.translateX ||
                           start.matrix.translateY != end.matrix.translateY ||
                           start.matrix.scaleX != end.matrix.scaleX;
        const bool recoloured =
            !std::equal(std::begin(start.colors.multiply), std::end(start.colors.multiply),
                        std::begin(end.colors.multiply));
        changed += (moved || recoloured) ? 1 : 0;
    }
    EXPECT_GE(changed, 3);
}

TEST(SwfMovie, EmptyMovieHasHeaderAndEndOnly) {
    const QByteArray bytes = SwfMovie(QSize(10, 5), 12).Bytes();
    const SwfFile file = ReadSwf(bytes);
    EXPECT_EQ(file.fileLength, static_cast<std::uint32_t>(bytes.size()));
    EXPECT_EQ(file.frameCount, 0);
    EXPECT_EQ(file.frameRate, 12.0);
    EXPECT_EQ(file.frameSize.xMax, 200);
    EXPECT_EQ(file.frameSize.yMax, 100);
    ASSERT_EQ(file.tags.size(), 1U);
    EXPECT_EQ(file.tags[0].code, End);
}

// Tag bodies of 63 bytes and more need the long header; one byte less fits the short one.
TEST(SwfMovie, LongAndShortTagHeaders) {
    QPainterPath small;
    small.addRect(0, 0, 10, 10);
    QPainterPath large;
    for (int i = 0; i < 10; ++i) {
        large.addRect(i * 20, 0, 10, 10);
    }
    SwfMovie movie(QSize(100, 100), 24);
    movie.Add(DefineShapeTag(1, small, Qt::blue));
    movie.Add(DefineShapeTag(2, large, Qt::blue));
    movie.ShowFrame();
    const QByteArray bytes = movie.Bytes();
    const SwfFile file = ReadSwf(bytes);
    EXPECT_EQ(file.fileLength, static_cast<std::uint32_t>(bytes.size()));
    ASSERT_EQ(file.tags.size(), 4U);
    EXPECT_LT(file.tags[0].body.size(), 63);
    EXPECT_GE(file.tags[1].body.size(), 63);
    EXPECT_EQ(file.tags[1].code, DefineShape3);
    EXPECT_EQ(file.frameCount, 1);
}

} // namespace
