#include "mainwin/certificatepage.h"
#include "mainwin/navigation.h"
#include "support/qtprint.h"

#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

TEST(CacheBreaker, DrawsFrom0To9998) {
    QRandomGenerator generator(20240611);
    int lowest = 9999;
    int highest = -1;
    for (int i = 0; i < 200000; ++i) {
        const int n = CacheBreaker(generator);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 9998);
        lowest = std::min(lowest, n);
        highest = std::max(highest, n);
    }
    // Enough draws to reach both ends of the range.
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 9998);
    const int drawn = CacheBreaker();
    EXPECT_GE(drawn, 0);
    EXPECT_LE(drawn, 9998);
}

TEST(LogOutAddress, HostThenLogoutThenNumber) {
    const std::tuple<QString, int, QString> cases[] = {
        {"http://h/", 17, "http://h/Home/Logout?17"},
        {"http://h/Home/Home/Index/", 0, "http://h/Home/Home/Index/Home/Logout?0"},
        {"/", 9998, "/Home/Logout?9998"},
    };
    for (const auto& [host, n, expected] : cases)
        EXPECT_EQ(LogOutAddress(host, n), expected);
}

TEST(ReturnAddress, QuestionMarkDecidesTheSeparator) {
    const std::tuple<QString, int, QString> cases[] = {
        {"http://h/a", 5, "http://h/a?5"},
        {"http://h/a?b=1", 5, "http://h/a?b=1&5"},
        {"http://h/a?", 42, "http://h/a?&42"},
        {"http://h/?x#frag", 1, "http://h/?x#frag&1"},
        {" http://h/a ", 3, " http://h/a ?3"}, // used unchanged, not trimmed
        {"", 7, "?7"},
    };
    for (const auto& [url, n, expected] : cases)
        EXPECT_EQ(ReturnAddress(url, n), expected);
}

TEST(IsWebAddress, OnlyHttpAndHttps) {
    const std::pair<QString, bool> cases[] = {
        {"http://h/Home/Home/Main", true},
        {"https://h/a?b=1", true},
        {"HTTP://H/A", true},
        {QStringLiteral("http://h/学习?a=1 2"), true},
        {"javascript:alert(1)", false},
        {"JavaScript:alert(1)", false},
        {"file:///etc/passwd", false},
        {"data:text/html,<b>x</b>", false},
        {"ftp://h/a", false},
        {"/Home/Home/Main", false},
        {"/", false},
        {"h/Home", false},
        {"http:///nohost", false},
        {"", false},
        {"http://h/a\r\nb", false},
        {QString::fromUtf8("http://h/a\0b", 12), false},
        {"about:blank", false},
    };
    for (const auto& [url, followed] : cases)
        EXPECT_EQ(IsWebAddress(url), followed) << url.toStdString();
}

constexpr char ErrorPage[] = "/opt/client/errorpage.htm";

TEST(LocalErrorPage, BesideTheProgram) {
    EXPECT_EQ(LocalErrorPagePath("/opt/client/"), ErrorPage);
}

struct ErrorStep {
    const char* url;
    int status;
    NavErrorAction::Kind kind;
    const char* address; // what the browser is sent to
    int countAfter;
};

class NavErrors : public testing::Test {
protected:
    NavErrorCounter counter{QString::fromLatin1(ErrorPage)};

    void Run(std::initializer_list<ErrorStep> steps) {
        int index = 0;
        for (const ErrorStep& s : steps) {
            const NavErrorAction a = counter.OnNavigateError(QString::fromUtf8(s.url), s.status);
            EXPECT_EQ(a.kind, s.kind) << "step " << index;
            EXPECT_EQ(a.address, QString::fromUtf8(s.address)) << "step " << index;
            EXPECT_EQ(counter.Count(), s.countAfter) << "step " << index;
            ++index;
        }
    }
};

TEST_F(NavErrors, ThirdErrorShowsTheErrorPageAndCountRestarts) {
    EXPECT_EQ(counter.Count(), 0);
    Run({
        {"http://h/a", 404, NavErrorAction::Retry, "http://h/a", 1},
        {"http://h/a", 404, NavErrorAction::Retry, "http://h/a", 2},
        {"http://h/a", 404, NavErrorAction::ShowErrorPage, ErrorPage, 0},
        {"http://h/b", -105, NavErrorAction::Retry, "http://h/b", 1},
    });
}

TEST_F(NavErrors, UnrelatedErrorsAddUp) {
    Run({
        {"http://h/a", 500, NavErrorAction::Retry, "http://h/a", 1},
        {"http://other/frame", 0, NavErrorAction::Retry, "http://other/frame", 2},
        {"http://h/c?x=1", 404, NavErrorAction::ShowErrorPage, ErrorPage, 0},
    });
}

TEST_F(NavErrors, AbortedNavigationIsNotCounted) {
    Run({
        {"http://h/a", 404, NavErrorAction::Retry, "http://h/a", 1},
        {"http://h/b", NavigateErrorAborted, NavErrorAction::Ignore, "", 1},
        {"http://h/b", NavigateErrorAborted, NavErrorAction::Ignore, "", 1},
        {"http://h/a", 404, NavErrorAction::Retry, "http://h/a", 2},
    });
}

TEST_F(NavErrors, FailingErrorPageShowsTheBuiltInText) {
    Run({
        {"http://h/a", 404, NavErrorAction::Retry, "http://h/a", 1},
        {"http://h/a", 404, NavErrorAction::Retry, "http://h/a", 2},
        {"http://h/a", 404, NavErrorAction::ShowErrorPage, ErrorPage, 0},
        {"file:///opt/client/errorpage.htm", -6, NavErrorAction::ShowBuiltInText, "", 0},
        {ErrorPage, -6, NavErrorAction::ShowBuiltInText, "", 0},
        {"file:///opt/client/./errorpage.htm", -6, NavErrorAction::ShowBuiltInText, "", 0},
        {"http://h/a", 404, NavErrorAction::Retry, "http://h/a", 1},
    });
}

TEST_F(NavErrors, OtherLocalFilesAreOrdinaryErrors) {
    Run({
        {"file:///opt/client/other.htm", -6, NavErrorAction::Retry, "file:///opt/client/other.htm",
         1},
        {"http://h/opt/client/errorpage.htm", 404, NavErrorAction::Retry,
         "http://h/opt/client/errorpage.htm", 2},
        {"file:///opt/client/ERRORPAGE.htm", -6, NavErrorAction::ShowErrorPage, ErrorPage, 0},
    });
}

TEST(IsCertificateError, NetsCertificateRange) {
    const std::pair<int, bool> cases[] = {
        {-200, true}, {-201, true},  {-202, true},  {-207, true},  {-218, true},
        {-299, true}, {-199, false}, {-300, false}, {-150, false}, {-105, false},
        {-3, false},  {0, false},    {200, false},  {404, false},  {-102, false},
    };
    for (const auto& [status, certificate] : cases)
        EXPECT_EQ(IsCertificateError(status), certificate) << status;
}

// A refused certificate shows its own page at once, however the count stood, and leaves the
// count of network failures as it was.
TEST_F(NavErrors, RefusedCertificateShowsTheCertificatePageUncounted) {
    const struct {
        const char* url;
        int status;
        NavErrorAction::Kind kind;
        int countAfter;
    } steps[] = {
        {"https://h/a", -202, NavErrorAction::ShowCertificatePage, 0},
        {"http://h/a", 404, NavErrorAction::Retry, 1},
        {"https://h/a", -201, NavErrorAction::ShowCertificatePage, 1},
        {"https://h/a", -200, NavErrorAction::ShowCertificatePage, 1},
        {"http://h/a", -105, NavErrorAction::Retry, 2},
        {"https://h/a", -202, NavErrorAction::ShowCertificatePage, 2},
        {"http://h/a", 404, NavErrorAction::ShowErrorPage, 0},
    };
    int index = 0;
    for (const auto& s : steps) {
        const NavErrorAction a = counter.OnNavigateError(QString::fromUtf8(s.url), s.status);
        EXPECT_EQ(a.kind, s.kind) << "step " << index;
        if (a.kind == NavErrorAction::ShowCertificatePage) {
            EXPECT_EQ(a.address, CertificatePageAddress()) << "step " << index;
        }
        EXPECT_EQ(counter.Count(), s.countAfter) << "step " << index;
        ++index;
    }
}

} // namespace
