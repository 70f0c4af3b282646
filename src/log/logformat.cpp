#include "log/logformat.h"

#include <array>

namespace {

constexpr std::array<const char*, 7> Tags = {"ERR", "WAN", "INF", "VBS", "PRF", "DBG", "xtm"};

// Appends value in decimal with exactly width digits.
void AppendDecimal(std::string& out, unsigned value, int width) {
    char digits[10];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits, static_cast<std::size_t>(width));
}

// Appends value in upper-case hexadecimal, at least four digits.
void AppendHex4(std::string& out, std::uint32_t value) {
    char digits[8];
    int count = 0;
    do {
        digits[count++] = "0123456789ABCDEF"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    for (int i = count; i < 4; ++i)
        out += '0';
    while (count > 0)
        out += digits[--count];
}

void AppendLineTime(std::string& out, const LogTime& time) {
    AppendDecimal(out, static_cast<unsigned>(time.year % 100), 2);
    out += '/';
    AppendDecimal(out, static_cast<unsigned>(time.month), 2);
    out += '/';
    AppendDecimal(out, static_cast<unsigned>(time.day), 2);
    out += '-';
    AppendDecimal(out, static_cast<unsigned>(time.hour), 2);
    out += ':';
    AppendDecimal(out, static_cast<unsigned>(time.minute), 2);
    out += ':';
    AppendDecimal(out, static_cast<unsigned>(time.second), 2);
    out += ' ';
    AppendDecimal(out, static_cast<unsigned>(time.millisecond), 3);
}

void AppendProcess(std::string& out, std::uint32_t process) {
    out += "PID: ";
    out += std::to_string(process);
    out += " (0x";
    AppendHex4(out, process);
    out += ')';
}

} // namespace

std::string FormatLineTime(const LogTime& time) {
    std::string out;
    AppendLineTime(out, time);
    return out;
}

std::string FormatRotationStamp(const LogTime& time) {
    std::string out;
    AppendDecimal(out, static_cast<unsigned>(time.year % 100), 2);
    AppendDecimal(out, static_cast<unsigned>(time.month), 2);
    AppendDecimal(out, static_cast<unsigned>(time.day), 2);
    out += '_';
    AppendDecimal(out, static_cast<unsigned>(time.hour), 2);
    AppendDecimal(out, static_cast<unsigned>(time.minute), 2);
    AppendDecimal(out, static_cast<unsigned>(time.second), 2);
    AppendDecimal(out, static_cast<unsigned>(time.millisecond), 3);
    return out;
}

const char* LevelTag(std::uint32_t level) {
    if (level == 0)
        return "???";
    // ceil(log2(level)) is the number of bits that level - 1 needs.
    std::size_t position = 0;
    for (std::uint32_t rest = level - 1; rest != 0; rest >>= 1)
        ++position;
    return position < Tags.size() ? Tags[position] : "???";
}

void AppendLogLinePrefix(std::string& out, const LogTime& time, std::uint32_t level,
                         std::uint32_t process, std::uint32_t thread) {
    out += '[';
    AppendLineTime(out, time);
    out += "][";
    out += LevelTag(level);
    out += "][Px";
    AppendHex4(out, process);
    out += "][Tx";
    AppendHex4(out, thread);
    out += "] ";
}

std::string FormatLogLine(const LogTime& time, std::uint32_t level, std::uint32_t process,
                          std::uint32_t thread, std::string_view message) {
    std::string out;
    out.reserve(48 + message.size());
    AppendLogLinePrefix(out, time, level, process, thread);
    out += message;
    out += "\r\n";
    return out;
}

std::string LogSeparatorLine() {
    return std::string(61, '=') + "\r\n";
}

std::string FormatLogHeader(const LogHeaderFields& fields) {
    const std::string separator = LogSeparatorLine();
    std::string out = separator;
    out += "\tQuornel log file\r\n";
    out += "\tSubject : " + fields.title + "\r\n";
    out += fields.created ? "\tCreated-Time: " : "\tContinued-Time: ";
    AppendLineTime(out, fields.time);
    out += "\r\n";
    out += "\tApplication: " + fields.applicationPath + "\r\n";
    out += "\tModule: " + fields.modulePath + "\r\n";
    out += '\t';
    AppendProcess(out, fields.process);
    out +=
        " App ver: " + fields.applicationVersion + ", Module ver: " + fields.moduleVersion + "\r\n";
    out += separator;
    return out;
}

std::string FormatLogFooter(std::string_view title, bool final, const LogTime& time,
                            std::uint32_t process) {
    const std::string separator = LogSeparatorLine();
    std::string out = separator;
    out += '\t';
    out += title;
    out += final ? " End-Time: " : " Continue-Time: ";
    AppendLineTime(out, time);
    out += "\r\n\t";
    AppendProcess(out, process);
    out += "\r\n";
    out += separator;
    return out;
}

QString RotatedLogPath(const QString& logPath, const std::string& stamp) {
    const qsizetype nameStart = logPath.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = logPath.lastIndexOf(QLatin1Char('.'));
    const QString base = dot >= nameStart ? logPath.left(dot) : logPath;
    return base + QLatin1Char('_') + QString::fromStdString(stamp) + QStringLiteral(".log");
}
