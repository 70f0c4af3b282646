#pragma once

#include <string>
#include <string_view>

// Text for one log line, whatever it holds: a page's alert text, a decoded cookie or a command
// parameter must not be able to end the line and write one that looks like the client's own.
// Control characters become escapes ("\r", "\n", "\t", others below 32 "\xNN"), and so does
// the backslash ("\\"), so an escape in the log always stands for what the text held.
std::string EscapeLogText(std::string_view text);
