#include "bridge/addresspolicy.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

struct ClassifyCase {
    const char* url;
    bool startedByClient;
    AddressUse use;
};

TEST(AddressPolicy, PagesReachTheWebOnly) {
    const ClassifyCase cases[] = {
        {"http://127.0.0.1:8731/Home/Home/Index", false, AddressUse::Load},
        {"HTTPS://platform.example/sof/", false, AddressUse::Load},
        {"blob:http://127.0.0.1:8731/0d8c5a", false, AddressUse::Load},
        {"about:blank", false, AddressUse::Load},
        {"command:enablebackbtn,true", false, AddressUse::Command},
        {"Command:a,b", false, AddressUse::Command},
        {"command:nocomma", false, AddressUse::Command},
        // What the desktop would hand to other programs.
        {"ssh://student@lab.example/", false, AddressUse::Refuse},
        {"smb://fileserver/share", false, AddressUse::Refuse},
        {"mailto:teacher@example.edu", false, AddressUse::Refuse},
        {"tel:+861012345678", false, AddressUse::Refuse},
        {"x-lesson-player://open?unit=3", false, AddressUse::Refuse},
        {"ms-settings:privacy-microphone", false, AddressUse::Refuse},
        {"ftp://files.example/unit1.mp3", false, AddressUse::Refuse},
        {"ws://127.0.0.1:8731/socket", false, AddressUse::Refuse},
        // The Flash player's files are for pages to load, not to go to.
        {"parvelo-flash://player/ruffle.js", false, AddressUse::Refuse},
        {"parvelo-flash://player/ruffle.js", true, AddressUse::Refuse},
        // Local files and inline documents only when the client itself goes there.
        {"file:///etc/passwd", false, AddressUse::Refuse},
        {"file:///opt/parvelo/errorpage.htm", true, AddressUse::Load},
        {"data:text/html,<h1>x</h1>", false, AddressUse::Refuse},
        {"data:text/html;charset=utf-8,%3Ch2%3E", true, AddressUse::Load},
        {"ssh://lab.example/", true, AddressUse::Refuse},
        {"", false, AddressUse::Refuse},
    };
    for (const ClassifyCase& c : cases)
        EXPECT_EQ(ClassifyAddress(QUrl(QString::fromUtf8(c.url)), c.startedByClient), c.use)
            << c.url << (c.startedByClient ? " (client)" : " (page)");
}

// The browser hands a navigation's address over as a parsed address, which Qt shows decoded,
// while a page reports its own address as the encoded text of location.href: both must come
// out the same, escapes and all.
TEST(AddressPolicy, NavigationAndPageAddressesMeetInOneForm) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("http://h/sof/lesson two?unit=中"),
         QStringLiteral("http://h/sof/lesson%20two?unit=%E4%B8%AD")},
        {QStringLiteral("http://h/sof/lesson%20two?unit=%E4%B8%AD"),
         QStringLiteral("http://h/sof/lesson%20two?unit=%E4%B8%AD")},
        {QStringLiteral("http://h/a%2Fb?x=%25&y=a+b#top"),
         QStringLiteral("http://h/a%2Fb?x=%25&y=a+b#top")},
        {QStringLiteral("http://h/Home/Home/Main"), QStringLiteral("http://h/Home/Home/Main")},
        {QStringLiteral("command:x,a%20b"), QStringLiteral("command:x,a%20b")},
    };
    for (const auto& [navigation, page] : cases) {
        const QUrl parsed(navigation);
        EXPECT_EQ(BrowserAddress(parsed), BrowserAddress(page)) << navigation.toStdString();
        EXPECT_EQ(BrowserAddress(page), page) << page.toStdString();
    }
    EXPECT_EQ(BrowserAddress(QStringLiteral("about:blank")), QStringLiteral("about:blank"));
}

// A page's escapes reach the command handler as the page wrote them.
TEST(AddressPolicy, CommandParametersKeepTheirEscapes) {
    const QUrl command(QStringLiteral("command:say,a%20b%2C%E4%B8%AD"));
    EXPECT_EQ(BrowserAddress(command), QStringLiteral("command:say,a%20b%2C%E4%B8%AD"));
}

} // namespace
