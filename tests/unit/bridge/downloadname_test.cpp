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
        {"folder/", "download"},
        {"..", "download"},
        {"", "download"},
    };
    for (const auto& [suggested, name] : cases)
        EXPECT_EQ(SafeDownloadName(suggested), name) << suggested.toStdString();
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
