#include "log/logescape.h"

#include <cstdio>

std::string EscapeLogText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
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
            if (static_cast<unsigned char>(c) < 0x20) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
                escaped += hex;
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}
