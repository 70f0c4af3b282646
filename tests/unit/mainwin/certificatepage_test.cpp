#include "mainwin/certificatepage.h"
#include "support/qtprint.h"

#include <QRegularExpression>
#include <QUrl>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const char* const DataPrefix = "data:text/html;charset=utf-8,";

QString PageText() {
    const QString address = CertificatePageAddress();
    EXPECT_TRUE(address.startsWith(QLatin1String(DataPrefix))) << address.left(60).toStdString();
    return QUrl::fromPercentEncoding(address.mid(int(strlen(DataPrefix))).toLatin1());
}

TEST(CertificatePage, AnInlineDocumentThatLoadsAsIs) {
    const QString address = CertificatePageAddress();
    // Only unreserved characters and escapes: nothing a browser would take for a fragment, a
    // query or the end of the address.
    static const QRegularExpression encoded(QStringLiteral("^([A-Za-z0-9._~-]|%[0-9A-F]{2})+$"));
    EXPECT_TRUE(encoded.match(address.mid(int(strlen(DataPrefix)))).hasMatch());
    EXPECT_EQ(QUrl(address).scheme(), QStringLiteral("data"));
}

TEST(CertificatePage, SaysTheCertificateIsNotTrustedAndWhomToCall) {
    const QString text = PageText();
    const char* const said[] = {
        "<title>学习平台的证书不受信任</title>",
        "<h1 id=\"certificate\">学习平台的证书不受信任</h1>",
        "请联系学校的管理员处理。",
        "这不是网络故障",
    };
    for (const char* words : said)
        EXPECT_TRUE(text.contains(QString::fromUtf8(words))) << words;
}

TEST(CertificatePage, OffersNoWayPastTheRefusalAndNoNetworkAdvice) {
    const QString text = PageText();
    const char* const absent[] = {
        "<a ",  "<button", "<form", "<script", "onclick", "暂时无法连接", "检查电脑的网络连接",
        "http",
    };
    for (const char* words : absent)
        EXPECT_FALSE(text.contains(QString::fromUtf8(words))) << words;
}

} // namespace
