#include "log/logescape.h"

#include <cstdio>

namespace {

void AppendHex(std::string& out, unsigned char byte) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02x", byte);
    out += hex;
}

void AppendCodePoint(std::string& out, char32_t codePoint) {
    char text[7];
    std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(codePoint));
    out += text;
}

// Code points a reader may take for the end of a line, or that a terminal acts upon: NEL and
// the other C1 controls, the line and paragraph separators.
bool EscapedCodePoint(char32_t codePoint) {
    return (codePoint >= 0x80 && codePoint <= 0x9f) || codePoint == 0x2028 || codePoint == 0x2029;
}

// The length of the well-formed UTF-8 sequence at the start of text, with its code point; 0
// when there is none (a stray, overlong, surrogate or cut sequence).
std::size_t DecodeUtf8(std::string_view text, char32_t* codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t value = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        value = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        value = lead & 0x0f;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        value = lead & 0x07;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xbf))
            return 0;
        value = (value << 6) | (next & 0x3f);
    }
    *codePoint = value;
    return length;
}

} // namespace

std::string EscapeLogText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            char32_t codePoint = 0;
            const std::size_t length = DecodeUtf8(text.substr(i), &codePoint);
            if (length == 0)
                AppendHex(escaped, c);
            else if (EscapedCodePoint(codePoint))
                AppendCodePoint(escaped, codePoint);
            else
                escaped.append(text.substr(i, length));
            i += length == 0 ? 1 : length;
            continue;
        }
        switch (c) {
        case '\r':
            escaped += "\\r";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\\':
            escaped += "\\\\";
            break;
        default:
            if (c < 0x20 || c == 0x7f)
                AppendHex(escaped, c);
            else
                escaped += static_cast<char>(c);
        }
        ++i;
    }
    return escaped;
}
