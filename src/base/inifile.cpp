#include "base/inifile.h"

#include "base/casepath.h"
#include "base/textcodec.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

namespace {

constexpr qsizetype MaxValueLength = 2047;

// One line of the file: [begin, end) is its text, lineEnd the bytes that close it.
struct Line {
    qsizetype begin;
    qsizetype end;
    qsizetype lineEndSize;
};

// A line ends at LF, CR LF or a lone CR, as in the Windows profile functions (a file last
// saved by an old editor may end its lines with CR alone).
QList<Line> SplitLines(const QByteArray& content) {
    QList<Line> lines;
    qsizetype begin = 0;
    while (begin < content.size()) {
        qsizetype end = begin;
        while (end < content.size() && content[end] != '\n' && content[end] != '\r')
            ++end;
        if (end == content.size()) {
            lines << Line{begin, end, 0};
            break;
        }
        const bool crlf =
            content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n';
        const qsizetype lineEndSize = crlf ? 2 : 1;
        lines << Line{begin, end, lineEndSize};
        begin = end + lineEndSize;
    }
    return lines;
}

// The blanks the Windows profile functions trim around names and values, the DOS end-of-file
// mark (Ctrl-Z) that old Windows tools leave at the end of a file among them.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

QByteArray Trimmed(const QByteArray& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.toLower() == b.toLower();
}

// What a line says about the INI structure.
struct Entry {
    enum Kind { Other, Section, Key } kind = Other;
    QByteArray name;       // section or key name, trimmed
    qsizetype valueAt = 0; // offset of the text after "=" within the line
};

Entry Classify(const QByteArray& line) {
    Entry entry;
    const QByteArray text = Trimmed(line);
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        entry.kind = Entry::Section;
        entry.name = Trimmed(close < 0 ? text.mid(1) : text.mid(1, close - 1));
        return entry;
    }
    if (text.startsWith(';'))
        return entry;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return entry;
    entry.kind = Entry::Key;
    entry.name = Trimmed(line.left(equals));
    entry.valueAt = equals + 1;
    return entry;
}

QByteArray Unquoted(const QByteArray& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// Where the section's lines are: the header line, and the line index just past the section.
struct SectionSpan {
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionSpan FindSection(const QByteArray& content, const QList<Line>& lines,
                        const QByteArray& section) {
    SectionSpan span;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Entry entry = Classify(content.mid(lines[i].begin, lines[i].end - lines[i].begin));
        if (entry.kind != Entry::Section)
            continue;
        if (span.header >= 0) {
            span.end = i;
            return span;
        }
        if (SameName(entry.name, section))
            span.header = i;
    }
    if (span.header >= 0)
        span.end = lines.size();
    return span;
}

QByteArray LineText(const QByteArray& content, const Line& line) {
    return content.mid(line.begin, line.end - line.begin);
}

// The line end the file already uses, from its first line; "\n" for a file that has none yet.
QByteArray LineEndOf(const QByteArray& content, const QList<Line>& lines) {
    for (const Line& line : lines)
        if (line.lineEndSize > 0)
            return content.mid(line.end, line.lineEndSize);
    return "\n";
}

} // namespace

QString ReadProfileText(const QByteArray& content, const QString& section, const QString& key,
                        const QString& defaultValue) {
    const QList<Line> lines = SplitLines(content);
    const SectionSpan span = FindSection(content, lines, section.toUtf8());
    if (span.header < 0)
        return defaultValue;
    const QByteArray wanted = key.toUtf8();
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        const QByteArray text = LineText(content, lines[i]);
        const Entry entry = Classify(text);
        if (entry.kind != Entry::Key || !SameName(entry.name, wanted))
            continue;
        QByteArray value = Unquoted(Trimmed(text.mid(entry.valueAt)));
        const qsizetype nul = value.indexOf('\0');
        if (nul >= 0)
            value.truncate(nul);
        return DecodeLocalText(value).left(MaxValueLength);
    }
    return defaultValue;
}

QByteArray WriteProfileText(const QByteArray& content, const QString& section, const QString& key,
                            const QString& value) {
    const QList<Line> lines = SplitLines(content);
    const QByteArray lineEnd = LineEndOf(content, lines);
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    const QByteArray newValue = value.toUtf8();
    const SectionSpan span = FindSection(content, lines, sectionName);

    if (span.header < 0) {
        QByteArray result = content;
        if (!result.isEmpty() && !result.endsWith('\n') && !result.endsWith('\r'))
            result += lineEnd;
        return result + '[' + sectionName + ']' + lineEnd + keyName + '=' + newValue + lineEnd;
    }

    qsizetype lastFilled = span.header;
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        const QByteArray text = LineText(content, lines[i]);
        const Entry entry = Classify(text);
        if (entry.kind == Entry::Key && SameName(entry.name, keyName)) {
            const qsizetype valueBegin = lines[i].begin + entry.valueAt;
            return content.left(valueBegin) + newValue + content.mid(lines[i].end);
        }
        if (!Trimmed(text).isEmpty())
            lastFilled = i;
    }

    // A new key goes right after the section's last non-empty line, so blank lines that
    // separate it from the next section stay where they are.
    const Line& after = lines[lastFilled];
    const qsizetype insertAt = after.end + after.lineEndSize;
    const QByteArray prefix = after.lineEndSize == 0 ? lineEnd : QByteArray();
    return content.left(insertAt) + prefix + keyName + '=' + newValue + lineEnd +
           content.mid(insertAt);
}

ProfileRead ReadProfileFile(const QString& path, const QString& section, const QString& key,
                            const QString& defaultValue) {
    QFile file(FindFileIgnoringCase(path));
    if (!file.exists())
        return {defaultValue, ProfileReadStatus::Missing};
    if (!file.open(QIODevice::ReadOnly))
        return {defaultValue, ProfileReadStatus::Unreadable};
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {defaultValue, ProfileReadStatus::Unreadable};
    return {ReadProfileText(content, section, key, defaultValue), ProfileReadStatus::Ok};
}

QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue) {
    return ReadProfileFile(path, section, key, defaultValue).value;
}

bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value) {
    // A line break would let the value spill into the file's structure.
    for (const QString* text : {&section, &key, &value})
        if (text->contains(QLatin1Char('\n')) || text->contains(QLatin1Char('\r')))
            return false;

    const QString target = FindFileIgnoringCase(path);
    QByteArray content;
    QFile existing(target);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        content = existing.readAll();
        if (existing.error() != QFileDevice::NoError)
            return false;
        existing.close();
    }
    const QByteArray updated = WriteProfileText(content, section, key, value);
    if (existing.exists() && updated == content)
        return true;

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(updated) != updated.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
