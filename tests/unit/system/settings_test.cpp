#include "base/casepath.h"
#include "base/programdir.h"
#include "base/textcodec.h"
#include "system/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SettingsFile : public testing::Test {
protected:
    void SetUp() override { SetProgramDir(dir.path()); }
    void write(const QByteArray& content, const char* name = "Conf.ini") {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QTemporaryDir dir;
};

TEST_F(SettingsFile, HostGetsOneSlash) {
    const std::pair<const char*, const char*> cases[] = {
        {"[Host]\nHost=http://a/b/\n", "http://a/b/"},
        {"[Host]\nHost=http://a/b\n", "http://a/b/"},
        {"[Host]\nHost=http://a//\n", "http://a//"},
        {"[Host]\nHost=\n", "/"},
        {"[Host]\nOther=x\n", "/"},
    };
    for (const auto& [content, host] : cases) {
        write(content);
        EXPECT_EQ(ReadHost(), QString::fromLatin1(host)) << content;
    }
}

TEST_F(SettingsFile, MissingFileGivesDefaultsAndCreatesNothing) {
    EXPECT_EQ(ReadHost(), "/");
    EXPECT_EQ(ReadAppTitle(), "");
    EXPECT_TRUE(IsRecTipOn());
    EXPECT_FALSE(QFile::exists(dir.filePath("Conf.ini")));
}

TEST_F(SettingsFile, LowerCaseFileNameIsFound) {
    write("[App]\nTitle=T\n", "conf.ini");
    EXPECT_EQ(ReadAppTitle(), "T");
}

TEST_F(SettingsFile, TitleKeepsChineseText) {
    write("[App]\nTitle=大学英语四六级\n");
    EXPECT_EQ(ReadAppTitle(), QStringLiteral("大学英语四六级"));
}

TEST_F(SettingsFile, PinnedCertificatesAreTheHostSectionsKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"[Host]\nHost=https://h/\n", ""},
        {"[Host]\nHost=https://h/\nCertificateSHA256=AB:CD, ef01\n", "AB:CD, ef01"},
        {"[host]\ncertificatesha256 = \"AB:CD\"\n", "AB:CD"},
        // Only the Host section pins: the key elsewhere says nothing.
        {"[App]\nCertificateSHA256=AB:CD\n[Host]\nHost=https://h/\n", ""},
    };
    for (const auto& [text, pins] : cases) {
        write(text);
        EXPECT_EQ(ReadPinnedCertificates(), QString::fromLatin1(pins)) << text;
    }
}

TEST(RecTipRule, OnlyExactNoSwitchesOff) {
    const std::pair<const char*, bool> cases[] = {
        {"no", false}, {"No", true},  {"NO", true},  {"yes", true},
        {"", true},    {"n o", true}, {"no ", true}, {"off", true},
    };
    for (const auto& [value, on] : cases)
        EXPECT_EQ(RecTipValueIsOn(QString::fromLatin1(value)), on) << value;
}

TEST_F(SettingsFile, RecTipReadsTheFileEachTime) {
    write("[CheckRecTip]\nRecTip=yes\n");
    EXPECT_TRUE(IsRecTipOn());
    write("[CheckRecTip]\nRecTip = no \n");
    EXPECT_FALSE(IsRecTipOn());
    write("[CheckRecTip]\n");
    EXPECT_TRUE(IsRecTipOn());
}

TEST(CasePath, FindsEveryComponentIgnoringCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("resource/image"));
    QFile f(dir.filePath("resource/image/So_800_600.png"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(FindFileIgnoringCase(dir.filePath("Resource/IMAGE/so_800_600.PNG")),
              dir.filePath("resource/image/So_800_600.png"));
    EXPECT_EQ(FindFileIgnoringCase(dir.filePath("Resource/missing.png")),
              dir.filePath("resource/missing.png"));
    EXPECT_EQ(FindFileIgnoringCase(dir.filePath("none/x")), dir.filePath("none/x"));
}

TEST(TextCodec, DecodesUtf8AndFallsBackToGbk) {
    const std::pair<QByteArray, QString> cases[] = {
        {"plain", "plain"},
        {"\xe6\xb8\xa9\xe9\xa6\xa8\xe6\x8f\x90\xe7\xa4\xba", QStringLiteral("温馨提示")},
        {"\xce\xc2\xdc\xb0\xcc\xe1\xca\xbe", QStringLiteral("温馨提示")},
        {"a\xff", QStringLiteral("a\uFFFD")},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(DecodeLocalText(bytes), text) << bytes.toHex().constData();
}

} // namespace
