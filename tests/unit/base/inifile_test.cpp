#include "base/inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct ReadCase {
    const char* name;
    QByteArray content;
    const char* section;
    const char* key;
    QString expected;
};

class ProfileReading : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReading, FollowsTheProfileRules) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(ReadProfileText(c.content, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                              QStringLiteral("<default>")),
              c.expected);
}

const QString Default = QStringLiteral("<default>");

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileReading,
    testing::Values(
        ReadCase{"plain", "[Host]\nHost=http://a/\n", "Host", "Host", "http://a/"},
        ReadCase{"section_case", "[host]\nHost=x\n", "HOST", "Host", "x"},
        ReadCase{"key_case", "[Host]\nhOsT=x\n", "Host", "HOST", "x"},
        ReadCase{"blanks_trimmed", "[Host]\n  Host  =   x y  \t\n", "Host", "Host", "x y"},
        ReadCase{"double_quotes", "[A]\nk=\"  q  \"\n", "A", "k", "  q  "},
        ReadCase{"single_quotes", "[A]\nk='q'\n", "A", "k", "q"},
        ReadCase{"one_pair_only", "[A]\nk=\"\"q\"\"\n", "A", "k", "\"q\""},
        ReadCase{"unmatched_quote_kept", "[A]\nk=\"q\n", "A", "k", "\"q"},
        ReadCase{"first_equals", "[A]\nk=a=b\n", "A", "k", "a=b"},
        ReadCase{"first_key_wins", "[A]\nk=1\nk=2\n", "A", "k", "1"},
        ReadCase{"first_section_wins", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "1"},
        ReadCase{"key_only_in_duplicate_section", "[A]\nx=1\n[a]\nk=2\n", "A", "k", Default},
        ReadCase{"key_in_other_section", "[A]\nk=1\n[B]\nj=2\n", "B", "k", Default},
        ReadCase{"missing_section", "[A]\nk=1\n", "B", "k", Default},
        ReadCase{"missing_key", "[A]\nk=1\n", "A", "j", Default},
        ReadCase{"key_before_any_section", "k=1\n[A]\n", "A", "k", Default},
        ReadCase{"empty_value", "[A]\nk=\n", "A", "k", ""},
        ReadCase{"crlf", "[A]\r\nk=v\r\n", "A", "k", "v"},
        ReadCase{"no_final_line_end", "[A]\nk=v", "A", "k", "v"},
        ReadCase{"header_without_bracket", "[A\nk=v\n", "A", "k", "v"},
        ReadCase{"header_with_blanks", "  [ A ]  \nk=v\n", "A", "k", "v"},
        ReadCase{"comment_line", "[A]\n;k=1\nk=2\n", "A", "k", "2"},
        ReadCase{"nul_cuts_value", QByteArray("[A]\nk=ab\0cd\n", 12), "A", "k", "ab"},
        ReadCase{"nul_elsewhere", QByteArray("\0\0junk\n[A]\nk=v\n", 16), "A", "k", "v"},
        ReadCase{"utf8_chinese", "[App]\nTitle=大学英语\n", "App", "Title",
                 QStringLiteral("大学英语")},
        ReadCase{"gbk_chinese", "[App]\nTitle=\xb4\xf3\xd1\xa7\n", "App", "Title",
                 QStringLiteral("大学")},
        ReadCase{"cr_only", "[A]\rk=v\r", "A", "k", "v"},
        ReadCase{"cr_only_without_final_line_end", "[A]\rj=1\rk=v", "A", "k", "v"},
        ReadCase{"cr_only_key_in_next_section", "[A]\rj=1\r[B]\rk=v\r", "A", "k", Default},
        ReadCase{"mixed_line_ends", "[B]\r\nx=1\n[A]\rj=2\r\nk=v\n", "A", "k", "v"},
        ReadCase{"lf_then_cr_is_two_line_ends", "[A]\n\rk=v\n", "A", "k", "v"},
        ReadCase{"ctrl_z_after_value", "[CheckRecTip]\r\nRecTip=no\x1a", "CheckRecTip", "RecTip",
                 "no"},
        ReadCase{"windows_blanks_trimmed", "[A]\n\v\fk\x1a=\f v \x1a\t\v\n", "A", "k", "v"},
        ReadCase{"windows_blanks_in_header", "[\x1a A\v]\nk=v\n", "A", "k", "v"},
        ReadCase{"quotes_inside_windows_blanks", "[A]\nk=\x1a\" q \"\x1a\n", "A", "k", " q "},
        ReadCase{"binary_junk_line", "[A]\n\xff\xfe\x01=\x02\nk=v\n", "A", "k", "v"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ProfileReading, CapsValuesAt2047Characters) {
    const QByteArray content = "[A]\nk=" + QByteArray(5000, 'x') + "\n";
    EXPECT_EQ(ReadProfileText(content, "A", "k", {}), QString(2047, QLatin1Char('x')));
}

TEST(ProfileReading, HandlesVeryLongLinesBeforeTheKey) {
    const QByteArray content = "[A]\njunk" + QByteArray(1 << 20, 'y') + "\nk=v\n";
    EXPECT_EQ(ReadProfileText(content, "A", "k", {}), QStringLiteral("v"));
}

struct WriteCase {
    const char* name;
    QByteArray before;
    const char* section;
    const char* key;
    const char* value;
    QByteArray after;
};

class ProfileWriting : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriting, ChangesOnlyTheKey) {
    const WriteCase& c = GetParam();
    EXPECT_EQ(WriteProfileText(c.before, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                               QString::fromUtf8(c.value)),
              c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWriting,
    testing::Values(
        WriteCase{"replace_in_place", "[A]\nk=yes\nj=1\n", "A", "k", "no", "[A]\nk=no\nj=1\n"},
        WriteCase{"replace_keeps_key_spelling", "[A]\nRecTip = yes\n", "a", "rectip", "no",
                  "[A]\nRecTip =no\n"},
        WriteCase{"replace_keeps_crlf", "[A]\r\nk=yes\r\n[B]\r\n", "A", "k", "no",
                  "[A]\r\nk=no\r\n[B]\r\n"},
        WriteCase{"append_key_to_section", "[A]\nj=1\n\n[B]\nx=2\n", "A", "k", "no",
                  "[A]\nj=1\nk=no\n\n[B]\nx=2\n"},
        WriteCase{"append_key_uses_crlf", "[A]\r\nj=1\r\n", "A", "k", "no",
                  "[A]\r\nj=1\r\nk=no\r\n"},
        WriteCase{"append_key_without_final_line_end", "[A]\nj=1", "A", "k", "no",
                  "[A]\nj=1\nk=no\n"},
        WriteCase{"append_section", "[A]\nj=1\n", "CheckRecTip", "RecTip", "no",
                  "[A]\nj=1\n[CheckRecTip]\nRecTip=no\n"},
        WriteCase{"append_section_without_final_line_end", "[A]\nj=1", "B", "k", "v",
                  "[A]\nj=1\n[B]\nk=v\n"},
        WriteCase{"empty_file", "", "B", "k", "v", "[B]\nk=v\n"},
        WriteCase{"first_of_duplicate_sections", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "3",
                  "[A]\nk=3\n[A]\nk=2\n"},
        WriteCase{"replace_keeps_cr", "[A]\rk=yes\r[B]\r", "A", "k", "no", "[A]\rk=no\r[B]\r"},
        WriteCase{"append_key_uses_cr", "[A]\rj=1\r", "A", "k", "no", "[A]\rj=1\rk=no\r"},
        WriteCase{"append_section_uses_cr", "[A]\rj=1", "B", "k", "v", "[A]\rj=1\r[B]\rk=v\r"},
        WriteCase{"line_end_of_the_first_line", "[A]\rj=1\r\n[B]\n", "B", "k", "v",
                  "[A]\rj=1\r\n[B]\nk=v\r"},
        WriteCase{"replace_with_ctrl_z_after_the_value", "[A]\r\nk=yes\x1a", "A", "k", "no",
                  "[A]\r\nk=no"},
        WriteCase{"unclosed_header_ending_in_cr", "[checkrectip\r", "CheckRecTip", "RecTip", "no",
                  "[checkrectip\rRecTip=no\r"},
        WriteCase{"junk_kept", QByteArray("\xff\0junk\n[A]\nk=1\n", 14), "A", "k", "2",
                  QByteArray("\xff\0junk\n[A]\nk=2\n", 14)}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

// Every file the settings fuzzer found whose write did not read back is a case here.
TEST(ProfileWriting, WrittenValueReadsBack) {
    const QByteArray cases[] = {
        "[CheckRecTip]\nRecTip=yes\n",
        "[checkrectip\r",
        "[CheckRecTip]\rRecTip=yes\x1a",
        "[A]\rk=1\r\n[CheckRecTip\r\nRecTip\x1a=yes",
    };
    for (const QByteArray& before : cases) {
        const QByteArray after = WriteProfileText(before, "CheckRecTip", "RecTip", "no");
        EXPECT_EQ(ReadProfileText(after, "CheckRecTip", "RecTip", "yes"), "no")
            << before.toStdString();
    }
}

class ProfileFile : public testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static void put(const QString& file, const QByteArray& content) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    static QByteArray get(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    QTemporaryDir dir;
};

TEST_F(ProfileFile, MissingFileGivesDefaultAndCreatesNothing) {
    const ProfileRead read = ReadProfileFile(path("Conf.ini"), "Host", "Host", "d");
    EXPECT_EQ(read.value, "d");
    EXPECT_EQ(read.status, ProfileReadStatus::Missing);
    EXPECT_FALSE(QFile::exists(path("Conf.ini")));
}

TEST_F(ProfileFile, OtherLetterCaseReachesTheSameFile) {
    put(path("Conf.ini"), "[Host]\nHost=h\n");
    EXPECT_EQ(ReadProfileString(path("conf.ini"), "Host", "Host", {}), "h");
    ASSERT_TRUE(WriteProfileString(path("CONF.INI"), "Host", "Host", "g"));
    EXPECT_EQ(get(path("Conf.ini")), "[Host]\nHost=g\n");
    EXPECT_FALSE(QFile::exists(path("CONF.INI")));
}

TEST_F(ProfileFile, WritingCreatesAMissingFile) {
    ASSERT_TRUE(WriteProfileString(path("Conf.ini"), "CheckRecTip", "RecTip", "no"));
    EXPECT_EQ(get(path("Conf.ini")), "[CheckRecTip]\nRecTip=no\n");
}

TEST_F(ProfileFile, UnwritableDirectoryKeepsTheOldContent) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only directories";
    put(path("Conf.ini"), "[CheckRecTip]\nRecTip=yes\n");
    ASSERT_EQ(::chmod(dir.path().toLocal8Bit().constData(), 0500), 0);
    EXPECT_FALSE(WriteProfileString(path("Conf.ini"), "CheckRecTip", "RecTip", "no"));
    ::chmod(dir.path().toLocal8Bit().constData(), 0700);
    EXPECT_EQ(get(path("Conf.ini")), "[CheckRecTip]\nRecTip=yes\n");
}

TEST_F(ProfileFile, FailedWriteLeavesNoTemporaryFileAndOldContent) {
    // A directory standing where the file should be cannot be replaced by a file.
    ASSERT_TRUE(QDir(dir.path()).mkdir("Conf.ini"));
    EXPECT_FALSE(WriteProfileString(path("Conf.ini"), "A", "k", "v"));
    EXPECT_TRUE(QFileInfo(path("Conf.ini")).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(ProfileFile, UnreadableFileIsToldApartFromAMissingOne) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("Conf.ini"));
    EXPECT_EQ(ReadProfileFile(path("Conf.ini"), "A", "k", "d").status,
              ProfileReadStatus::Unreadable);
}

TEST_F(ProfileFile, ValueWithLineBreakIsRefused) {
    put(path("Conf.ini"), "[A]\nk=1\n");
    EXPECT_FALSE(WriteProfileString(path("Conf.ini"), "A", "k", "1\n[B]\nx=2"));
    EXPECT_EQ(get(path("Conf.ini")), "[A]\nk=1\n");
}

TEST_F(ProfileFile, KeepsFilePermissions) {
    put(path("Conf.ini"), "[A]\nk=1\n");
    ASSERT_TRUE(QFile::setPermissions(path("Conf.ini"), QFile::ReadOwner | QFile::WriteOwner));
    const QFile::Permissions before = QFile::permissions(path("Conf.ini"));
    ASSERT_TRUE(WriteProfileString(path("Conf.ini"), "A", "k", "2"));
    EXPECT_EQ(QFile::permissions(path("Conf.ini")), before);
    EXPECT_EQ(get(path("Conf.ini")), "[A]\nk=2\n");
}

} // namespace
