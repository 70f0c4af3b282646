#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Numbers in the log configuration are written the way settings files from Windows
// installations write them: decimal, "$" hexadecimal, or "0x"/"0X" hexadecimal when the text is
// longer than two characters, each with an optional sign. Hexadecimal digits give the 32-bit
// pattern, so "$FFFFFFFF" is -1 and "0x80000000" the lowest value. Anything else, and decimal
// values outside the 32-bit range, are not numbers.
std::optional<std::int32_t> ParseLogNumber(const QString& text);

// The number, or defaultValue when the text is not one.
std::int32_t ParseLogInteger(const QString& text, std::int32_t defaultValue);

// A Boolean is such a number: nonzero is true, zero false, a non-number the default.
bool ParseLogBoolean(const QString& text, bool defaultValue);
