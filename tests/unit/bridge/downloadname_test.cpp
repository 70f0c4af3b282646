#include "bridge/downloadname.h"
#include "support/qtprint.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(DownloadName, SuggestedNamesBecomePlainNames) {
    const std::pair<QString, QString> cases[] = {
        {"unit1-notes.txt", "unit1-notes.txt"},
        {QStringLiteral("第一单元 听力.mp3"), QStringLiteral("第一单元 听力.mp3")},
        {"../../.bashrc", "bashrc"},
        {"..\\..\\autostart\\run.desktop", "run.desktop"},
        {"/etc/passwd", "passwd"},
        {".hidden", "hidden"},
        {"  . .profile", "profile"},
        {"a\nb\tc.txt", "abc.txt"},
        {QStringLiteral("a\u0000b\u001fc\u007fd.txt"), "abcd.txt"},
        {QStringLiteral("line\u0085two\u0080\u009f.txt"), "linetwo.txt"},
        {QStringLiteral("\u009b31mred.txt"), "31mred.txt"},
        {QStringLiteral("invoice\u202egpj.exe"), "invoicegpj.exe"},
        {QStringLiteral("\u202a\u202b\u202c\u202d\u202ename.pdf"), "name.pdf"},
        {QStringLiteral("a\u2066b\u2067c\u2068d\u2069.txt"), "abcd.txt"},
        {QStringLiteral("\u202e.bashrc"), "bashrc"},
        {QStringLiteral("\u202e\u2069\u0085"), "download"},
        {"folder/", "download"},
        {"..", "download"},
        {"", "download"},
    };
    for (const auto& [suggested, name] : cases)
        EXPECT_EQ(SafeDownloadName(suggested), name) << suggested.toStdString();
}

int Utf8Size(const QString& text) {
    return static_cast<int>(text.toUtf8().size());
}

// Names longer than a file system allows (255 bytes, less the 11 of ".crdownload", which the
// browser adds while the download runs) are cut before the extension, at a whole character.
struct LongName {
    QString suggested;
    QString expected;
};

void PrintTo(const LongName& name, std::ostream* out) {
    *out << name.suggested.toStdString();
}

class LongDownloadName : public ::testing::TestWithParam<LongName> {};

TEST_P(LongDownloadName, IsShortenedKeepingItsExtension) {
    const QString name = SafeDownloadName(GetParam().suggested);
    EXPECT_EQ(name, GetParam().expected);
    EXPECT_LE(Utf8Size(name) + 11, 255);
}

const QString Chinese90 = QString(90, QChar(0x4e2d));
const QString Chinese80 = QString(80, QChar(0x4e2d));
const QString Emoji = QStringLiteral("\U0001F600");

INSTANTIATE_TEST_SUITE_P(
    Names, LongDownloadName,
    ::testing::Values(LongName{QString(244, 'a'), QString(244, 'a')},
                      LongName{QString(255, 'a'), QString(244, 'a')},
                      LongName{QString(300, 'a') + ".txt", QString(240, 'a') + ".txt"},
                      // 90 Chinese characters are 270 bytes.
                      LongName{Chinese90 + ".mp3", Chinese80 + ".mp3"},
                      LongName{Chinese90, Chinese90.left(81)},
                      // A character outside the basic plane is never split in two.
                      LongName{QString(238, 'a') + Emoji + ".txt", QString(238, 'a') + ".txt"},
                      LongName{QString(236, 'a') + Emoji + ".txt",
                               QString(236, 'a') + Emoji + ".txt"},
                      // A "extension" as long as a name is no extension: the name is cut.
                      LongName{"a." + QString(300, 'b'), "a." + QString(242, 'b')}));

TEST(DownloadName, NumberedNamesFitTheFileSystemToo) {
    QSet<QString> present;
    const auto exists = [&](const QString& path) { return present.contains(path); };
    const QString folder = QStringLiteral("/home/s/Downloads/");
    const std::pair<QString, QString> names[] = {
        {QString(240, 'a') + ".txt", QString(236, 'a') + " (1).txt"},
        {Chinese80 + ".mp3", QString(78, QChar(0x4e2d)) + " (1).mp3"},
        {QString(255, 'a'), QString(240, 'a') + " (1)"},
    };
    for (const auto& [name, second] : names) {
        present.insert(UniqueDownloadPath(folder, name, exists));
        const QString next = UniqueDownloadPath(folder, name, exists);
        EXPECT_EQ(next, folder + second);
        EXPECT_LE(Utf8Size(next.mid(folder.size())) + 11, 255);
    }
    for (int copy = 0; copy < 12; ++copy)
        present.insert(UniqueDownloadPath(folder, Chinese80 + ".mp3", exists));
    const QString thirteenth = UniqueDownloadPath(folder, Chinese80 + ".mp3", exists);
    EXPECT_EQ(thirteenth, folder + QString(78, QChar(0x4e2d)) + " (13).mp3");
}

TEST(DownloadName, NeverOverwritesAFile) {
    QSet<QString> present;
    const auto exists = [&](const QString& path) { return present.contains(path); };
    const std::pair<QString, QString> names[] = {
        {"notes.txt", "notes (1).txt"},
        {"archive.tar.gz", "archive.tar (1).gz"},
        {"README", "README (1)"},
    };
    for (const auto& [name, second] : names) {
        const QString first = UniqueDownloadPath(QStringLiteral("/home/s/Downloads"), name, exists);
        EXPECT_EQ(first, "/home/s/Downloads/" + name);
        present.insert(first);
        const QString next = UniqueDownloadPath(QStringLiteral("/home/s/Downloads/"), name, exists);
        EXPECT_EQ(next, "/home/s/Downloads/" + second);
        present.insert(next);
        EXPECT_NE(UniqueDownloadPath(QStringLiteral("/home/s/Downloads"), name, exists), next);
    }
}

} // namespace
