#include "log/lognumber.h"

namespace {

int DigitValue(char16_t c, int base) {
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
    return value < base ? value : -1;
}

} // namespace

std::optional<std::int32_t> ParseLogNumber(const QString& text) {
    const QStringView all(text);
    QStringView rest = all;
    bool negative = false;
    if (!rest.isEmpty() && (rest.front() == u'-' || rest.front() == u'+')) {
        negative = rest.front() == u'-';
        rest = rest.mid(1);
    }
    int base = 10;
    if (rest.startsWith(u'$')) {
        base = 16;
        rest = rest.mid(1);
    } else if (all.size() > 2 && (rest.startsWith(u"0x") || rest.startsWith(u"0X"))) {
        base = 16;
        rest = rest.mid(2);
    }
    if (rest.isEmpty())
        return std::nullopt;

    // Hexadecimal may fill all 32 bits; decimal must fit a signed 32-bit value.
    const std::uint64_t limit = base == 16 ? (negative ? 0x80000000u : 0xFFFFFFFFu)
                                           : (negative ? 0x80000000u : 0x7FFFFFFFu);
    std::uint64_t magnitude = 0;
    for (const QChar c : rest) {
        const int digit = DigitValue(c.unicode(), base);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (magnitude > limit)
            return std::nullopt;
    }
    const std::uint32_t bits = static_cast<std::uint32_t>(negative ? 0u - magnitude : magnitude);
    return static_cast<std::int32_t>(bits);
}

std::int32_t ParseLogInteger(const QString& text, std::int32_t defaultValue) {
    return ParseLogNumber(text).value_or(defaultValue);
}

bool ParseLogBoolean(const QString& text, bool defaultValue) {
    const std::optional<std::int32_t> number = ParseLogNumber(text);
    return number ? *number != 0 : defaultValue;
}
