#include "movie.h"

#include "bitwriter.h"
#include "records.h"
#include "tags.h"

namespace {

// Every tag the movie uses is older than version 8, which every player still in use reads.
constexpr std::uint8_t SwfVersion = 8;
// Signature, version and file length come before the frame size.
constexpr int FixedHeaderBytes = 8;

} // namespace

SwfMovie::SwfMovie(const QSize& size, int framesPerSecond)
    : FSize(size), FFramesPerSecond(framesPerSecond) {}

void SwfMovie::Add(const QByteArray& tag) {
    FTags.append(tag);
}

void SwfMovie::ShowFrame() {
    FTags.append(ShowFrameTag());
    ++FFrameCount;
}

QByteArray SwfMovie::Bytes() const {
    BitWriter rest;
    WriteRect(rest, {0, FSize.width() * TwipsPerPixel, 0, FSize.height() * TwipsPerPixel});
    rest.WriteUI16(static_cast<std::uint16_t>(FFramesPerSecond << 8)); // 8.8 fixed point
    rest.WriteUI16(static_cast<std::uint16_t>(FFrameCount));
    rest.WriteBytes(FTags);
    rest.WriteBytes(EndTag());

    BitWriter file;
    file.WriteBytes("FWS");
    file.WriteUI8(SwfVersion);
    file.WriteUI32(static_cast<std::uint32_t>(FixedHeaderBytes + rest.Bytes().size()));
    file.WriteBytes(rest.Bytes());
    return file.Bytes();
}
