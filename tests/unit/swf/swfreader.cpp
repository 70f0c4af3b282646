#include "swfreader.h"

#include <stdexcept>

std::uint32_t BitReader::ReadUnsigned(int bits) {
    std::uint32_t value = 0;
    for (int i = 0; i < bits; ++i) {
        if (AtEnd()) {
            throw std::out_of_range("read past the end");
        }
        const auto byte = static_cast<std::uint8_t>(FBytes.at(FBitPosition / 8));
        value = (value << 1) | ((byte >> (7 - FBitPosition % 8)) & 1U);
        ++FBitPosition;
    }
    return value;
}

std::int32_t BitReader::ReadSigned(int bits) {
    if (bits == 0) {
        return 0;
    }
    const std::uint32_t raw = ReadUnsigned(bits);
    const bool negative = ((raw >> (bits - 1)) & 1U) != 0;
    if (!negative || bits == 32) {
        return static_cast<std::int32_t>(raw);
    }
    return static_cast<std::int32_t>(static_cast<std::int64_t>(raw) - (std::int64_t{1} << bits));
}

std::uint8_t BitReader::ReadUI8() {
    AlignToByte();
    return static_cast<std::uint8_t>(ReadUnsigned(8));
}

std::uint16_t BitReader::ReadUI16() {
    const std::uint16_t low = ReadUI8();
    return static_cast<std::uint16_t>(low | (ReadUI8() << 8));
}

std::uint32_t BitReader::ReadUI32() {
    const std::uint32_t low = ReadUI16();
    return low | (static_cast<std::uint32_t>(ReadUI16()) << 16);
}

QByteArray BitReader::ReadBytes(int count) {
    AlignToByte();
    if (BytePosition() + count > FBytes.size()) {
        throw std::out_of_range("read past the end");
    }
    const QByteArray bytes = FBytes.mid(BytePosition(), count);
    FBitPosition += count * 8;
    return bytes;
}

SwfRect ReadRect(BitReader& in) {
    const int bits = static_cast<int>(in.ReadUnsigned(5));
    SwfRect rect{};
    rect.xMin = in.ReadSigned(bits);
    rect.xMax = in.ReadSigned(bits);
    rect.yMin = in.ReadSigned(bits);
    rect.yMax = in.ReadSigned(bits);
    in.AlignToByte();
    return rect;
}

SwfMatrix ReadMatrix(BitReader& in) {
    SwfMatrix matrix;
    if (in.ReadUnsigned(1) != 0) {
        const int bits = static_cast<int>(in.ReadUnsigned(5));
        matrix.scaleX = in.ReadSigned(bits) / 65536.0;
        matrix.scaleY = in.ReadSigned(bits) / 65536.0;
    }
    if (in.ReadUnsigned(1) != 0) {
        throw std::runtime_error("unexpected rotation");
    }
    const int bits = static_cast<int>(in.ReadUnsigned(5));
    matrix.translateX = in.ReadSigned(bits);
    matrix.translateY = in.ReadSigned(bits);
    in.AlignToByte();
    return matrix;
}

SwfColorTransform ReadColorTransformWithAlpha(BitReader& in) {
    SwfColorTransform transform;
    const bool hasAdd = in.ReadUnsigned(1) != 0;
    const bool hasMultiply = in.ReadUnsigned(1) != 0;
    const int bits = static_cast<int>(in.ReadUnsigned(4));
    if (hasMultiply) {
        for (int& term : transform.multiply) {
            term = in.ReadSigned(bits);
        }
    }
    if (hasAdd) {
        for (int& term : transform.add) {
            term = in.ReadSigned(bits);
        }
    }
    in.AlignToByte();
    return transform;
}

ShapeOutline ReadShapeRecords(BitReader& in) {
    const int fillBits = static_cast<int>(in.ReadUnsigned(4));
    const int lineBits = static_cast<int>(in.ReadUnsigned(4));
    ShapeOutline outline;
    QPoint position;
    for (;;) {
        const bool isEdge = in.ReadUnsigned(1) != 0;
        if (!isEdge) {
            const std::uint32_t flags = in.ReadUnsigned(5);
            if (flags == 0) {
                break;
            }
            if ((flags & 0x10) != 0) {
                throw std::runtime_error("unexpected new styles");
            }
            if ((flags & 0x01) != 0) {
                const int bits = static_cast<int>(in.ReadUnsigned(5));
                const int x = in.ReadSigned(bits);
                position = QPoint(x, in.ReadSigned(bits));
                ++outline.moves;
                outline.subpathStarts.push_back(position);
            }
            if ((flags & 0x02) != 0) {
                in.ReadUnsigned(fillBits);
            }
            if ((flags & 0x04) != 0) {
                if (in.ReadUnsigned(fillBits) != 1) {
                    throw std::runtime_error("fill style 1 is not the first fill");
                }
                ++outline.fillStyle1Changes;
            }
            if ((flags & 0x08) != 0) {
                in.ReadUnsigned(lineBits);
            }
            continue;
        }
        ShapeEdge edge;
        edge.from = position;
        const bool straight = in.ReadUnsigned(1) != 0;
        const int bits = static_cast<int>(in.ReadUnsigned(4)) + 2;
        if (straight) {
            edge.general = in.ReadUnsigned(1) != 0;
            QPoint delta;
            if (edge.general) {
                const int dx = in.ReadSigned(bits);
                delta = QPoint(dx, in.ReadSigned(bits));
            } else if (in.ReadUnsigned(1) != 0) {
                delta = QPoint(0, in.ReadSigned(bits));
            } else {
                delta = QPoint(in.ReadSigned(bits), 0);
            }
            edge.to = position + delta;
        } else {
            edge.curved = true;
            const int cx = in.ReadSigned(bits);
            edge.control = position + QPoint(cx, in.ReadSigned(bits));
            const int ax = in.ReadSigned(bits);
            edge.to = edge.control + QPoint(ax, in.ReadSigned(bits));
        }
        position = edge.to;
        outline.edges.push_back(edge);
    }
    in.AlignToByte();
    return outline;
}

SwfFile ReadSwf(const QByteArray& bytes) {
    BitReader in(bytes);
    SwfFile file{};
    file.signature = in.ReadBytes(3);
    file.version = in.ReadUI8();
    file.fileLength = in.ReadUI32();
    file.frameSize = ReadRect(in);
    file.frameRate = in.ReadUI16() / 256.0;
    file.frameCount = in.ReadUI16();
    for (;;) {
        const std::uint16_t header = in.ReadUI16();
        SwfTag tag{header >> 6, {}};
        std::uint32_t length = header & 0x3F;
        if (length == 0x3F) {
            length = in.ReadUI32();
        }
        tag.body = in.ReadBytes(static_cast<int>(length));
        file.tags.push_back(tag);
        if (tag.code == 0) {
            break;
        }
    }
    file.bytesAfterEnd = static_cast<int>(bytes.size()) - in.BytePosition();
    return file;
}
