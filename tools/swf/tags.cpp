#include "tags.h"

#include "shaperecords.h"

#include <stdexcept>

namespace {

// Bodies under 63 bytes fit the short header; 0x3F in its length bits announces a long one.
constexpr int LongLengthMark = 0x3F;

constexpr std::uint8_t SolidFill = 0x00;
constexpr std::uint8_t ActionStop = 0x07;
constexpr std::uint8_t ActionEnd = 0x00;

// DefineSound's format bits: uncompressed little-endian samples; the size bit for 16 bits.
constexpr std::uint32_t UncompressedLittleEndian = 3;
constexpr std::uint32_t SixteenBits = 1;
constexpr std::uint32_t Mono = 0;
// StartSound's flags.
constexpr std::uint8_t SyncNoMultiple = 0x10;

// The format's rate field: 0 for 5.5 kHz up to 3 for 44 kHz.
std::uint32_t RateCode(int samplesPerSecond) {
    switch (samplesPerSecond) {
    case 5512:
        return 0;
    case 11025:
        return 1;
    case 22050:
        return 2;
    case 44100:
        return 3;
    default:
        throw std::invalid_argument("a sound's rate must be 5512, 11025, 22050 or 44100");
    }
}

// PlaceObject2's flags.
constexpr std::uint8_t HasColorTransform = 0x08;
constexpr std::uint8_t HasMatrix = 0x04;
constexpr std::uint8_t HasCharacter = 0x02;
constexpr std::uint8_t MovesExisting = 0x01;

QByteArray Tag(TagCode code, const QByteArray& body) {
    BitWriter out;
    const auto codeBits = static_cast<std::uint16_t>(static_cast<std::uint16_t>(code) << 6);
    if (body.size() < LongLengthMark) {
        out.WriteUI16(static_cast<std::uint16_t>(codeBits | body.size()));
    } else {
        out.WriteUI16(static_cast<std::uint16_t>(codeBits | LongLengthMark));
        out.WriteUI32(static_cast<std::uint32_t>(body.size()));
    }
    out.WriteBytes(body);
    return out.Bytes();
}

QByteArray PlaceObject2(std::uint8_t flags, std::uint16_t depth, std::uint16_t shapeId,
                        const Placement& placement, const ColorTransform& colors) {
    BitWriter body;
    body.WriteUI8(flags | HasMatrix | HasColorTransform);
    body.WriteUI16(depth);
    if ((flags & HasCharacter) != 0) {
        body.WriteUI16(shapeId);
    }
    WriteMatrix(body, placement);
    WriteColorTransformWithAlpha(body, colors);
    return Tag(TagCode::PlaceObject2, body.Bytes());
}

} // namespace

QByteArray SetBackgroundColorTag(const QColor& color) {
    BitWriter body;
    WriteRgb(body, color);
    return Tag(TagCode::SetBackgroundColor, body.Bytes());
}

QByteArray DefineShapeTag(std::uint16_t shapeId, const QPainterPath& path, const QColor& fill) {
    BitWriter body;
    body.WriteUI16(shapeId);
    WriteRect(body, TwipBounds(path));
    body.WriteUI8(1); // fill styles
    body.WriteUI8(SolidFill);
    WriteRgba(body, fill);
    body.WriteUI8(0); // line styles
    WriteShapeRecords(body, path);
    return Tag(TagCode::DefineShape3, body.Bytes());
}

QByteArray PlaceObjectTag(std::uint16_t depth, std::uint16_t shapeId, const Placement& placement,
                          const ColorTransform& colors) {
    return PlaceObject2(HasCharacter, depth, shapeId, placement, colors);
}

QByteArray MoveObjectTag(std::uint16_t depth, const Placement& placement,
                         const ColorTransform& colors) {
    return PlaceObject2(MovesExisting, depth, 0, placement, colors);
}

QByteArray DefineSoundTag(std::uint16_t soundId, const std::vector<std::int16_t>& samples,
                          int samplesPerSecond) {
    BitWriter body;
    body.WriteUI16(soundId);
    body.WriteUnsigned(UncompressedLittleEndian, 4);
    body.WriteUnsigned(RateCode(samplesPerSecond), 2);
    body.WriteUnsigned(SixteenBits, 1);
    body.WriteUnsigned(Mono, 1);
    body.WriteUI32(static_cast<std::uint32_t>(samples.size()));
    for (const std::int16_t sample : samples) {
        body.WriteUI16(static_cast<std::uint16_t>(sample));
    }
    return Tag(TagCode::DefineSound, body.Bytes());
}

QByteArray StartSoundTag(std::uint16_t soundId) {
    BitWriter body;
    body.WriteUI16(soundId);
    body.WriteUI8(SyncNoMultiple);
    return Tag(TagCode::StartSound, body.Bytes());
}

QByteArray ShowFrameTag() {
    return Tag(TagCode::ShowFrame, {});
}

QByteArray StopActionTag() {
    QByteArray actions;
    actions.append(static_cast<char>(ActionStop));
    actions.append(static_cast<char>(ActionEnd));
    return Tag(TagCode::DoAction, actions);
}

QByteArray EndTag() {
    return Tag(TagCode::End, {});
}
