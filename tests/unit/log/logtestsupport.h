#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <string>
#include <vector>

// A log line: time, tag, process, thread, message. Group 1 is the tag, group 2 the message,
// groups 3 and 4 the process and thread numbers.
inline const std::regex& LogLinePattern() {
    static const std::regex pattern(R"(\[\d{2}/\d{2}/\d{2}-\d{2}:\d{2}:\d{2} \d{3}\])"
                                    R"(\[(ERR|WAN|INF|VBS|PRF|DBG|xtm|\?\?\?)\])"
                                    R"(\[Px([0-9A-F]{4,})\]\[Tx([0-9A-F]{4,})\] (.*))");
    return pattern;
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(content);
}

// The file split at "\r\n"; a bare "\n" stays inside a line, where the checks below see it.
inline std::vector<std::string> SplitCrLf(const QByteArray& content) {
    std::vector<std::string> lines;
    const std::string text = content.toStdString();
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = text.find("\r\n", begin);
        if (end == std::string::npos) {
            lines.push_back(text.substr(begin) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

// A file described block by block: "Hc"/"Hn" a header (created / continued), "Fe"/"Fc" a footer
// (end / continue), "L" a log line, "_" an empty line, "?" anything else. For example
// "Hc L L Fe".
struct LogShape {
    std::string shape;
    // Of the log lines, in order:
    std::vector<std::string> messages;
    std::vector<std::string> tags;
    std::vector<std::string> processes; // hexadecimal, as written
    std::vector<std::string> threads;
};

inline LogShape DescribeLog(const QByteArray& content) {
    const std::string separator(61, '=');
    const std::regex created("\tCreated-Time: \\d{2}/\\d{2}/\\d{2}-\\d{2}:\\d{2}:\\d{2} \\d{3}");
    const std::regex continued(
        "\tContinued-Time: \\d{2}/\\d{2}/\\d{2}-\\d{2}:\\d{2}:\\d{2} \\d{3}");
    const std::regex endTime("\t.* End-Time: \\d{2}/\\d{2}/\\d{2}-\\d{2}:\\d{2}:\\d{2} \\d{3}");
    const std::regex continueTime(
        "\t.* Continue-Time: \\d{2}/\\d{2}/\\d{2}-\\d{2}:\\d{2}:\\d{2} \\d{3}");
    const std::regex headerPid(
        "\tPID: \\d+ \\(0x[0-9A-F]{4,}\\) App ver: [0-9.]*, Module ver: [0-9.]*");
    const std::regex footerPid("\tPID: \\d+ \\(0x[0-9A-F]{4,}\\)");

    const std::vector<std::string> lines = SplitCrLf(content);
    LogShape result;
    auto add = [&](const std::string& token) {
        if (!result.shape.empty())
            result.shape += ' ';
        result.shape += token;
    };
    std::size_t i = 0;
    while (i < lines.size()) {
        std::smatch match;
        const std::string& line = lines[i];
        if (line.empty()) {
            add("_");
            ++i;
        } else if (std::regex_match(line, match, LogLinePattern())) {
            add("L");
            result.tags.push_back(match[1]);
            result.processes.push_back(match[2]);
            result.threads.push_back(match[3]);
            result.messages.push_back(match[4]);
            ++i;
        } else if (line == separator && i + 7 < lines.size() &&
                   lines[i + 1] == "\tQuornel log file" &&
                   lines[i + 2].rfind("\tSubject : ", 0) == 0 &&
                   lines[i + 4].rfind("\tApplication: ", 0) == 0 &&
                   lines[i + 5].rfind("\tModule: ", 0) == 0 &&
                   std::regex_match(lines[i + 6], headerPid) && lines[i + 7] == separator &&
                   (std::regex_match(lines[i + 3], created) ||
                    std::regex_match(lines[i + 3], continued))) {
            add(std::regex_match(lines[i + 3], created) ? "Hc" : "Hn");
            i += 8;
        } else if (line == separator && i + 3 < lines.size() &&
                   std::regex_match(lines[i + 2], footerPid) && lines[i + 3] == separator &&
                   (std::regex_match(lines[i + 1], endTime) ||
                    std::regex_match(lines[i + 1], continueTime))) {
            add(std::regex_match(lines[i + 1], endTime) ? "Fe" : "Fc");
            i += 4;
        } else {
            add("?");
            ++i;
        }
    }
    return result;
}

// A temporary directory that stands for the installation: the module (an empty file named
// "client") lives in it, and the runtime directory, where the lock files go, is inside it too.
class LogDirFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        const QString runtime = Path("run");
        ASSERT_TRUE(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const char* previous = std::getenv("XDG_RUNTIME_DIR");
        hadRuntime_ = previous != nullptr;
        if (previous)
            previousRuntime_ = previous;
        ::setenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData(), 1);
        WriteAll(ModulePath(), QByteArray());
    }

    void TearDown() override {
        if (hadRuntime_)
            ::setenv("XDG_RUNTIME_DIR", previousRuntime_.c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
    }

    QString Path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    QString Path(const char* name) const { return Path(QString::fromUtf8(name)); }
    QString ModulePath() const { return Path("client"); }
    QString ConfPath() const { return Path("conf.ini"); }

    // Writes the settings file with a [logger] section holding the given keys.
    void WriteConf(const std::map<std::string, std::string>& keys,
                   const std::string& section = "logger") {
        std::string text = "[" + section + "]\r\n";
        for (const auto& [key, value] : keys)
            text += key + "=" + value + "\r\n";
        WriteAll(ConfPath(), QByteArray::fromStdString(text));
    }

    // Log files in the directory whose names start with base, sorted by name.
    QStringList LogFiles(const QString& base = QStringLiteral("client")) const {
        QStringList names =
            QDir(dir_.path()).entryList({base + QStringLiteral("*.log")}, QDir::Files, QDir::Name);
        for (QString& name : names)
            name = Path(name);
        return names;
    }

    QTemporaryDir dir_;

private:
    bool hadRuntime_ = false;
    std::string previousRuntime_;
};
