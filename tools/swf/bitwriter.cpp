#include "bitwriter.h"

void BitWriter::WriteUnsigned(std::uint32_t value, int bits) {
    for (int bit = bits - 1; bit >= 0; --bit) {
        FPending = static_cast<std::uint8_t>((FPending << 1) | ((value >> bit) & 1U));
        if (++FPendingBits == 8) {
            FBytes.append(static_cast<char>(FPending));
            FPending = 0;
            FPendingBits = 0;
        }
    }
}

void BitWriter::WriteSigned(std::int32_t value, int bits) {
    WriteUnsigned(static_cast<std::uint32_t>(value), bits);
}

void BitWriter::AlignToByte() {
    if (FPendingBits > 0) {
        WriteUnsigned(0, 8 - FPendingBits);
    }
}

void BitWriter::WriteUI8(std::uint8_t value) {
    AlignToByte();
    FBytes.append(static_cast<char>(value));
}

void BitWriter::WriteUI16(std::uint16_t value) {
    WriteUI8(static_cast<std::uint8_t>(value & 0xFF));
    WriteUI8(static_cast<std::uint8_t>(value >> 8));
}

void BitWriter::WriteUI32(std::uint32_t value) {
    WriteUI16(static_cast<std::uint16_t>(value & 0xFFFF));
    WriteUI16(static_cast<std::uint16_t>(value >> 16));
}

void BitWriter::WriteBytes(const QByteArray& bytes) {
    AlignToByte();
    FBytes.append(bytes);
}

const QByteArray& BitWriter::Bytes() {
    AlignToByte();
    return FBytes;
}

int UnsignedBitCount(std::uint32_t value) {
    int bits = 0;
    while (value != 0) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

int SignedBitCount(std::int32_t value) {
    if (value == 0) {
        return 0;
    }
    // A negative number needs as many bits as its complement, which is non-negative.
    const auto magnitude = static_cast<std::uint32_t>(value < 0 ? ~value : value);
    return UnsignedBitCount(magnitude) + 1;
}
