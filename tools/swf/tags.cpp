#include "tags.h"

#include "shaperecords.h"

namespace {

// Bodies under 63 bytes fit the short header; 0x3F in its length bits announces a long one.
constexpr int LongLengthMark = 0x3F;

constexpr std::uint8_t SolidFill = 0x00;
constexpr std::uint8_t ActionStop = 0x07;
constexpr std::uint8_t ActionEnd = 0x00;

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
