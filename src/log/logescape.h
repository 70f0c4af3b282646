#pragma once

#include <string>
#include <string_view>

// Text for one log line, whatever it holds: a page's alert text, a decoded cookie or a command
// parameter must not be able to end the line and write one that looks like the client's own.
// The text is UTF-8. Control characters become escapes: "\r", "\n", "\t", the others below 32
// and DEL "\xNN"; the C1 controls (NEL among them) and the line and paragraph separators
// "\uNNNN"; bytes that are no well-formed UTF-8 "\xNN". The backslash becomes "\\", so an
// escape in the log always stands for what the text held.
std::string EscapeLogText(std::string_view text);
