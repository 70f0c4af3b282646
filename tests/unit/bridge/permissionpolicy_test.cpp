#include "bridge/permissionpolicy.h"

#include <gtest/gtest.h>

namespace {

const QString Host = QStringLiteral("http://127.0.0.1:8731/Home/");

struct OriginCase {
    const char* address;
    const char* host;
    bool platform;
};

TEST(PermissionPolicy, ThePlatformIsItsSchemeHostAndPort) {
    const OriginCase cases[] = {
        {"http://127.0.0.1:8731", "http://127.0.0.1:8731/Home/", true},
        {"http://127.0.0.1:8731/sof/Lesson/Unit2", "http://127.0.0.1:8731/", true},
        {"HTTP://Platform.Example.EDU/x", "http://platform.example.edu/", true},
        {"http://platform.example.edu:80/", "http://platform.example.edu/", true},
        {"https://platform.example.edu/", "https://platform.example.edu:443/", true},
        // Another port, host, scheme or a look-alike is another site.
        {"http://127.0.0.1:8732", "http://127.0.0.1:8731/Home/", false},
        {"http://localhost:8731", "http://127.0.0.1:8731/Home/", false},
        {"https://platform.example.edu/", "http://platform.example.edu/", false},
        {"http://platform.example.edu.evil.example/", "http://platform.example.edu/", false},
        {"http://evil.example/?http://platform.example.edu/", "http://platform.example.edu/",
         false},
        // No usable host value trusts nobody.
        {"http://127.0.0.1:8731", "/", false},
        {"http://127.0.0.1:8731", "", false},
        {"file:///opt/parvelo/errorpage.htm", "file:///opt/parvelo/", false},
        {"data:text/html,x", "http://127.0.0.1:8731/", false},
    };
    for (const OriginCase& c : cases)
        EXPECT_EQ(
            IsPlatformOrigin(QUrl(QString::fromLatin1(c.address)), QString::fromLatin1(c.host)),
            c.platform)
            << c.address << " against " << c.host;
}

TEST(PermissionPolicy, OnlyThePlatformsPagesGetOnlyTheMicrophone) {
    const QUrl platform(QStringLiteral("http://127.0.0.1:8731"));
    const QUrl other(QStringLiteral("http://127.0.0.1:9000"));
    const std::pair<PagePermission, bool> cases[] = {
        {PagePermission::Microphone, true},
        {PagePermission::Camera, false},
        {PagePermission::MicrophoneAndCamera, false},
        {PagePermission::Location, false},
        {PagePermission::Notifications, false},
        {PagePermission::ScreenCapture, false},
        {PagePermission::MouseLock, false},
        {PagePermission::Clipboard, false},
        {PagePermission::Other, false},
    };
    for (const auto& [permission, forPlatform] : cases) {
        EXPECT_EQ(GrantsPermission(platform, permission, Host), forPlatform)
            << PermissionName(permission);
        EXPECT_FALSE(GrantsPermission(other, permission, Host)) << PermissionName(permission);
    }
}

TEST(PermissionPolicy, OnlyThePlatformsDocumentsGetTheFlashPlayer) {
    const std::pair<const char*, bool> cases[] = {
        {"http://127.0.0.1:8731", true},   {"http://127.0.0.1:8731/", true},
        {"http://localhost:8731", false},  {"http://127.0.0.1:8732", false},
        {"https://127.0.0.1:8731", false}, {"parvelo-flash://player", false},
        {"file:///opt/parvelo/", false},   {"", false},
    };
    for (const auto& [origin, gets] : cases)
        EXPECT_EQ(GetsFlashPlayer(QUrl(QString::fromLatin1(origin)), Host), gets) << origin;
    EXPECT_FALSE(GetsFlashPlayer(QUrl(QStringLiteral("http://127.0.0.1:8731")), QString()));
}

} // namespace
