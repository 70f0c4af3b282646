#include "bridge/certificatepolicy.h"
#include "support/qtprint.h"

#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

// A SHA-256 digest as openssl prints it, and its bytes.
const char* const Colons = "5F:0A:9B:C1:2D:3E:4F:60:71:82:93:A4:B5:C6:D7:E8:"
                           "F9:0A:1B:2C:3D:4E:5F:60:71:82:93:A4:B5:C6:D7:E8";
const char* const Plain = "5f0a9bc12d3e4f60718293a4b5c6d7e8f90a1b2c3d4e5f60718293a4b5c6d7e8";
const char* const Other = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";

QByteArray Digest(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(':', ""));
}

TEST(ParseFingerprint, HexWithOrWithoutColonsInAnyCase) {
    const struct {
        QString text;
        bool valid;
    } cases[] = {
        {QString::fromLatin1(Colons), true},
        {QString::fromLatin1(Colons).toLower(), true},
        {QString::fromLatin1(Plain), true},
        {QString::fromLatin1(Plain).toUpper(), true},
        {QStringLiteral("  ") + QString::fromLatin1(Plain) + QStringLiteral("\t"), true},
        // One digit short or long, a stray colon, colons in odd places, no hex, another digest.
        {QString::fromLatin1(Plain).chopped(1), false},
        {QString::fromLatin1(Plain) + QLatin1Char('0'), false},
        {QString::fromLatin1(Colons) + QLatin1Char(':'), false},
        {QString::fromLatin1(Plain).insert(3, QLatin1Char(':')), false},
        {QString::fromLatin1(Plain).replace(0, 1, QLatin1Char('g')), false},
        {QStringLiteral("sha256//5f0a9bc1"), false},
        {QString::fromLatin1(Plain).left(40), false},
        {QString(), false},
    };
    for (const auto& c : cases) {
        const std::optional<QByteArray> digest = ParseFingerprint(c.text);
        EXPECT_EQ(digest.has_value(), c.valid) << c.text.toStdString();
        if (digest) {
            EXPECT_EQ(*digest, Digest(Plain)) << c.text.toStdString();
        }
    }
}

TEST(ParsePinnedFingerprints, SeveralForAChangeOverAndTheRejectedNamed) {
    const struct {
        QString value;
        QList<QByteArray> fingerprints;
        QStringList rejected;
    } cases[] = {
        {QString(), {}, {}},
        {QString::fromLatin1(Colons), {Digest(Plain)}, {}},
        {QString::fromLatin1(Colons) + QStringLiteral(", ") + QString::fromLatin1(Other),
         {Digest(Plain), Digest(Other)},
         {}},
        {QString::fromLatin1(Plain) + QStringLiteral(";") + QString::fromLatin1(Other) +
             QStringLiteral(" ; "),
         {Digest(Plain), Digest(Other)},
         {}},
        {QString::fromLatin1(Other) + QStringLiteral(" nonsense ") + QString::fromLatin1(Plain),
         {Digest(Other), Digest(Plain)},
         {QStringLiteral("nonsense")}},
        {QStringLiteral("AB:CD"), {}, {QStringLiteral("AB:CD")}},
    };
    for (const auto& c : cases) {
        const PinnedFingerprints pinned = ParsePinnedFingerprints(c.value);
        EXPECT_EQ(pinned.fingerprints, c.fingerprints) << c.value.toStdString();
        EXPECT_EQ(pinned.rejected, c.rejected) << c.value.toStdString();
    }
}

TEST(FingerprintText, UpperCaseWithColonsAndReadBackAlike) {
    EXPECT_EQ(FingerprintText(Digest(Plain)), QString::fromLatin1(Colons));
    EXPECT_EQ(ParseFingerprint(FingerprintText(Digest(Other))), Digest(Other));
}

TEST(DistinguishedName, AttributesInOrder) {
    EXPECT_EQ(DistinguishedName({{"CN", "Test School CA"}, {"O", "School"}}),
              QStringLiteral("CN=Test School CA, O=School"));
    EXPECT_EQ(DistinguishedName({}), QString());
}

const QDateTime Now = QDateTime(QDate(2026, 6, 1), QTime(12, 0), QTimeZone::utc());
const QString Platform = QStringLiteral("https://127.0.0.1:8443/Home/");

CertificateCase Case(const char* address) {
    CertificateCase c;
    c.address = QUrl(QString::fromLatin1(address));
    c.platformHost = Platform;
    c.overridable = true;
    c.notBefore = Now.addDays(-10);
    c.notAfter = Now.addDays(10);
    c.now = Now;
    c.sha256 = Digest(Plain);
    return c;
}

TEST(DecideCertificate, TheMachinesStoreOrThePlatformsPinValidToday) {
    using Answer = CertificateAnswer;
    const struct {
        const char* what;
        CertificateCase certificate;
        Answer answer;
    } cases[] = {
        {"trusted by the machine",
         [] {
             auto c = Case("https://127.0.0.1:8443/Home/");
             c.machineTrusts = true;
             return c;
         }(),
         Answer::AcceptTrusted},
        {"trusted by the machine, another site",
         [] {
             auto c = Case("https://cdn.example.edu/x.js");
             c.machineTrusts = true;
             return c;
         }(),
         Answer::AcceptTrusted},
        {"neither trusted nor pinned", Case("https://127.0.0.1:8443/Home/"), Answer::Refuse},
        {"pinned, the platform",
         [] {
             auto c = Case("https://127.0.0.1:8443/sof/Lesson/Index");
             c.pins = {Digest(Other), Digest(Plain)};
             return c;
         }(),
         Answer::AcceptPinned},
        {"another fingerprint pinned",
         [] {
             auto c = Case("https://127.0.0.1:8443/Home/");
             c.pins = {Digest(Other)};
             return c;
         }(),
         Answer::Refuse},
        {"pinned, but another host",
         [] {
             auto c = Case("https://localhost:8443/Home/");
             c.pins = {Digest(Plain)};
             return c;
         }(),
         Answer::Refuse},
        {"pinned, but another port",
         [] {
             auto c = Case("https://127.0.0.1:9443/Home/");
             c.pins = {Digest(Plain)};
             return c;
         }(),
         Answer::Refuse},
        {"pinned, no host set",
         [] {
             auto c = Case("https://127.0.0.1:8443/Home/");
             c.platformHost = QStringLiteral("/");
             c.pins = {Digest(Plain)};
             return c;
         }(),
         Answer::Refuse},
        {"pinned, expired",
         [] {
             auto c = Case("https://127.0.0.1:8443/Home/");
             c.pins = {Digest(Plain)};
             c.notAfter = Now.addSecs(-1);
             return c;
         }(),
         Answer::Refuse},
        {"pinned, not yet valid",
         [] {
             auto c = Case("https://127.0.0.1:8443/Home/");
             c.pins = {Digest(Plain)};
             c.notBefore = Now.addSecs(1);
             return c;
         }(),
         Answer::Refuse},
        {"pinned, no dates",
         [] {
             auto c = Case("https://127.0.0.1:8443/Home/");
             c.pins = {Digest(Plain)};
             c.notBefore = QDateTime();
             return c;
         }(),
         Answer::Refuse},
        {"trusted, but the browser may not accept it",
         [] {
             auto c = Case("https://127.0.0.1:8443/Home/");
             c.machineTrusts = true;
             c.overridable = false;
             return c;
         }(),
         Answer::Refuse},
        {"pinned, but the browser may not accept it",
         [] {
             auto c = Case("https://127.0.0.1:8443/Home/");
             c.pins = {Digest(Plain)};
             c.overridable = false;
             return c;
         }(),
         Answer::Refuse},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideCertificate(c.certificate), c.answer) << c.what;
}

TEST(CertificateRefusalLine, AddressSubjectIssuerValidityFingerprintAndErrors) {
    CertificateReport report;
    report.address = QStringLiteral("https://127.0.0.1:8443/Home/");
    report.subject = QStringLiteral("CN=expired");
    report.issuer = QStringLiteral("CN=Test School CA");
    report.notBefore = QDateTime(QDate(2020, 1, 1), QTime(0, 0), QTimeZone::utc());
    report.notAfter = QDateTime(QDate(2020, 2, 1), QTime(8, 30, 5), QTimeZone::utc());
    report.sha256 = Digest(Plain);
    report.browserError = -202;
    report.browserDescription = QStringLiteral("The server's certificate is not trusted.");
    report.machineErrors = {QStringLiteral("CertificateExpired"),
                            QStringLiteral("UnableToGetLocalIssuerCertificate")};
    EXPECT_EQ(CertificateRefusalLine(report),
              QStringLiteral(
                  "certificate refused for https://127.0.0.1:8443/Home/: subject \"CN=expired\", "
                  "issuer \"CN=Test School CA\", not before 2020-01-01 00:00:00 UTC, not after "
                  "2020-02-01 08:30:05 UTC, SHA-256 ") +
                  QString::fromLatin1(Colons) +
                  QStringLiteral(", browser error -202 (The server's certificate is not "
                                 "trusted.), this machine: CertificateExpired; "
                                 "UnableToGetLocalIssuerCertificate"));
    report.machineErrors.clear();
    report.notAfter = QDateTime();
    EXPECT_TRUE(CertificateRefusalLine(report).endsWith(QLatin1String("this machine: trusted")));
    EXPECT_TRUE(CertificateRefusalLine(report).contains(QLatin1String("not after unknown,")));
}

} // namespace
