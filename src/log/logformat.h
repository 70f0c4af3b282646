#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// The texts of the log file. Everything here is pure: the time and the numbers come in as
// arguments, so each format can be checked without a clock or a file.

// A local time to the millisecond.
struct LogTime {
    int year = 0; // full year, e.g. 2009
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// "yy/mm/dd-hh:nn:ss zzz", the time of a line and of a header or footer block.
std::string FormatLineTime(const LogTime& time);
// "yymmdd_hhnnsszzz", the time in the name of a rotated-away file.
std::string FormatRotationStamp(const LogTime& time);

// The three-letter tag of a message level. A level with several bits takes the tag of the
// next power of two at or above it; levels beyond the known ones are "???".
const char* LevelTag(std::uint32_t level);

// "[time][tag][PxPPPP][TxTTTT] message\r\n" with upper-case hexadecimal numbers of at least four
// digits.
std::string FormatLogLine(const LogTime& time, std::uint32_t level, std::uint32_t process,
                          std::uint32_t thread, std::string_view message);
// The same line up to its message ("[time][tag][PxPPPP][TxTTTT] "), appended to out.
void AppendLogLinePrefix(std::string& out, const LogTime& time, std::uint32_t level,
                         std::uint32_t process, std::uint32_t thread);

// 61 "=" and a line end.
std::string LogSeparatorLine();

struct LogHeaderFields {
    std::string title;
    bool created = false; // the file was created by this opening, rather than continued
    LogTime time;
    std::string applicationPath;
    std::string modulePath;
    std::uint32_t process = 0;
    std::string applicationVersion;
    std::string moduleVersion;
};

// The block that starts each run of lines in a file.
std::string FormatLogHeader(const LogHeaderFields& fields);
// The block that ends a run: "End-Time" when the log closes (final), "Continue-Time" when the
// run goes on in a fresh file.
std::string FormatLogFooter(std::string_view title, bool final, const LogTime& time,
                            std::uint32_t process);

// "%s_%s.log": the log path without its extension, "_", the rotation stamp.
QString RotatedLogPath(const QString& logPath, const std::string& stamp);
