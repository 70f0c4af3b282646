#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <vector>

// Reads movies back the way a player does, so the tests check the bytes, not the writer's
// own idea of them.
class BitReader {
public:
    explicit BitReader(const QByteArray& bytes) : FBytes(bytes) {}

    std::uint32_t ReadUnsigned(int bits);
    std::int32_t ReadSigned(int bits);
    void AlignToByte() { FBitPosition = (FBitPosition + 7) / 8 * 8; }
    std::uint8_t ReadUI8();
    std::uint16_t ReadUI16();
    std::uint32_t ReadUI32();
    QByteArray ReadBytes(int count);
    int BytePosition() const { return FBitPosition / 8; }
    bool AtEnd() const { return FBitPosition >= FBytes.size() * 8; }

private:
    QByteArray FBytes;
    int FBitPosition = 0;
};

struct SwfRect {
    std::int32_t xMin, xMax, yMin, yMax;
};
SwfRect ReadRect(BitReader& in);

struct SwfMatrix {
    double scaleX = 1.0;
    double scaleY = 1.0;
    std::int32_t translateX = 0;
    std::int32_t translateY = 0;
};
SwfMatrix ReadMatrix(BitReader& in);

struct SwfColorTransform {
    int multiply[4] = {256, 256, 256, 256};
    int add[4] = {0, 0, 0, 0};
};
SwfColorTransform ReadColorTransformWithAlpha(BitReader& in);

struct ShapeEdge {
    bool curved = false;
    bool general = true; // a straight edge with both deltas stored
    QPoint from;
    QPoint control; // curves only
    QPoint to;
};

struct ShapeOutline {
    int moves = 0;
    int fillStyle1Changes = 0;
    std::vector<ShapeEdge> edges; // absolute positions in twips
    std::vector<QPoint> subpathStarts;
};
// Reads the fill/line index bit counts, the records and the end record.
ShapeOutline ReadShapeRecords(BitReader& in);

struct SwfTag {
    int code;
    QByteArray body;
};

struct SwfFile {
    QByteArray signature;
    int version;
    std::uint32_t fileLength;
    SwfRect frameSize;
    double frameRate;
    int frameCount;
    std::vector<SwfTag> tags; // up to and including End
    int bytesAfterEnd;
};
SwfFile ReadSwf(const QByteArray& bytes);
