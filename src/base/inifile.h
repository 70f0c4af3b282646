#pragma once

#include <QByteArray>
#include <QString>

// Profile-string reading and writing on INI files, with the rules settings files from
// Windows installations were written under:
// - section and key names match without regard to (ASCII) letter case; the first matching
//   key in the first matching section counts;
// - a value is the text after the first "=", blanks trimmed, one pair of enclosing quotes
//   removed, at most 2047 characters;
// - a missing file, section or key gives the caller's default; reading never creates a file;
// - text that is not valid UTF-8 is read as GBK.
// A name spelt in another letter case ("conf.ini" for "Conf.ini") reaches the same file.

// Reads a value from INI text already in memory.
QString ReadProfileText(const QByteArray& content, const QString& section, const QString& key,
                        const QString& defaultValue);

// Returns the INI text with the key set: replaced in place, or appended to its section
// (the section appended when missing). Every other byte of the text is kept, line ends too.
QByteArray WriteProfileText(const QByteArray& content, const QString& section, const QString& key,
                            const QString& value);

enum class ProfileReadStatus { Ok, Missing, Unreadable };

struct ProfileRead {
    QString value;
    ProfileReadStatus status;
};

// Reads a value from the file at path. status tells a missing file from one that exists but
// cannot be read; value is the default in both cases.
ProfileRead ReadProfileFile(const QString& path, const QString& section, const QString& key,
                            const QString& defaultValue);

// Convenience for callers that do not care why the default came back.
QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue);

// Sets the key in the file at path, creating the file when missing. The new content goes to a
// temporary file beside it that then replaces the old one, so the file is never left cut
// short. False when the file cannot be written; the old content is then unchanged.
bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value);
