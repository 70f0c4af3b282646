#include "mainwin/urldecode.h"
#include "support/qtprint.h"
#include "ui/errorbox.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
    QByteArray input;
    QByteArray expected;
};

TEST(StrictUrlDecode, DecodesEscapesAndPlus) {
    const DecodeCase cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"a+b", "a b"},
        {"%41%62", "Ab"},
        {"%4a%4A", "JJ"},
        {"http%3A%2F%2Fhost%2FHome%2FHome%2FMain%3Fa%3D1", "http://host/Home/Home/Main?a=1"},
        {"%2B", "+"},
        {"%25zz", "%zz"},
        {"a%00b", QByteArray("a\0b", 3)},
        {"%ff%80", "\xff\x80"},
        {"%E4%B8%AD", "\xe4\xb8\xad"},
        {"x%41", "xA"},
        {"++", "  "},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(StrictUrlDecode(c.input), c.expected) << c.input.constData();
}

TEST(StrictUrlDecode, MalformedEscapeFailsWithTheKnownText) {
    const QByteArray cases[] = {
        "%zz", "a%zzb", "%g0", "%0g", "%", "a%", "%4", "ab%4", "%%41", "%+1", "% 1", "ok%41%",
    };
    for (const QByteArray& input : cases) {
        try {
            StrictUrlDecode(input);
            ADD_FAILURE() << "no failure for " << input.constData();
        } catch (const ClientError& failure) {
            EXPECT_STREQ(failure.what(), "Invalid HEX digit in URL") << input.constData();
        }
    }
}

TEST(LenientUrlDecode, NeverFailsAndDropsWhatIsNotAByte) {
    const DecodeCase cases[] = {
        {"", ""},         {"plain", "plain"}, {"a+b", "a b"},
        {"%41%62", "Ab"}, {"%2B", "+"},    // a decoded plus stays a plus
        {"%zz", ""},                       // not a number: the three characters go
        {"a%zzb", "ab"},  {"a%00b", "ab"}, // zero is dropped, unlike the strict decoder
        {"%0g1", "1"},    {"%", ""},       // among the last two characters: what is left goes
        {"a%4", "a"},     {"ab%", "ab"},      {"%%41", "1"},    // "%%4" is dropped, "1" copied
        {"%ff", "\xff"},  {"%01", "\x01"},    {"%2541", "%41"}, // one level only
        {"%+1", ""}, // the plus has become a blank first: no number
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(LenientUrlDecode(c.input), c.expected) << c.input.constData();
}

TEST(ReturnTip, DoubleEncodedChineseArrivesReadable) {
    const QString tip = QStringLiteral("确定要返回吗？ ok");
    // What the site sends: the UTF-8 bytes URL-encoded twice.
    const QByteArray once = tip.toUtf8().toPercentEncoding();
    const QByteArray twice = once.toPercentEncoding();
    ASSERT_NE(once, twice);
    EXPECT_EQ(DecodeReturnTip(QString::fromLatin1(twice)), tip);
    // Encoded once it is decoded anyway; the second pass finds nothing left to do.
    EXPECT_EQ(DecodeReturnTip(QString::fromLatin1(once)), tip);
}

TEST(ReturnTip, PlusesAndMalformedEscapes) {
    const std::pair<QString, QString> cases[] = {
        {"", ""},
        {"a+b", "a b"},
        {"a%252Bb", "a+b"},
        {"%zz%", ""},
        {"x%2500y", "xy"}, // "%00" after the first pass is dropped by the second
        {"%25E4%25B8%25AD", QStringLiteral("中")},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(DecodeReturnTip(input), expected) << input.toStdString();
}

TEST(ReturnURL, DecodedOnceAsLocalText) {
    const std::pair<QString, QString> cases[] = {
        {"", ""},
        {"http%3A%2F%2Fh%2Fa%3Fb%3D1%26c%3D2", "http://h/a?b=1&c=2"},
        {"http%3A%2F%2Fh%2F%E4%B8%AD", QStringLiteral("http://h/中")},
        {"http%3A%2F%2Fh%2F%D6%D0", QStringLiteral("http://h/中")}, // older pages write GBK
        {"a%2520b", "a%20b"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(DecodeReturnURL(input), expected) << input.toStdString();
    EXPECT_THROW(DecodeReturnURL(QStringLiteral("http%3A%2")), ClientError);
}

} // namespace
