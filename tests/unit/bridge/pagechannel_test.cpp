#include "bridge/pagechannel.h"
#include "bridge/pagelayer.h"

#include <gtest/gtest.h>

namespace {

struct CallCase {
    const char* address;
    ChannelCall call;
    const char* target;
    const char* text;
};

TEST(PageChannel, CallsAreReadFromTheClientsAddressesOnly) {
    const CallCase cases[] = {
        {"parvelo-ie://client/dialog?url=http%3A%2F%2F127.0.0.1%3A8731%2Fsof%2Fie%2Fchooser&args="
         "%7B%22value%22%3A1%7D&features=dialogWidth%3A300px",
         ChannelCall::Dialog, "http://127.0.0.1:8731/sof/ie/chooser", ""},
        {"parvelo-ie://client/modeless?url=https%3A%2F%2Fexample.edu%2Fa", ChannelCall::Modeless,
         "https://example.edu/a", ""},
        {"parvelo-ie://client/clipboard", ChannelCall::ReadClipboard, "", ""},
        {"parvelo-ie://client/clipboard?set=%E4%B8%AD%20a%2Bb", ChannelCall::WriteClipboard, "",
         "中 a+b"},
        {"parvelo-ie://client/clipboard?set=", ChannelCall::WriteClipboard, "", ""},
        {"parvelo-ie://client/refused-class?progid=Scripting.FileSystemObject",
         ChannelCall::RefusedClass, "", "Scripting.FileSystemObject"},
        {"parvelo-ie://client/media?src=http%3A%2F%2F127.0.0.1%2Fa.wma", ChannelCall::Media,
         "http://127.0.0.1/a.wma", ""},
        // Pages and files must be on the web.
        {"parvelo-ie://client/dialog?url=file%3A%2F%2F%2Fetc%2Fpasswd", ChannelCall::Unknown, "",
         ""},
        {"parvelo-ie://client/dialog?url=javascript%3Aalert(1)", ChannelCall::Unknown, "", ""},
        {"parvelo-ie://client/dialog?url=relative.htm", ChannelCall::Unknown, "", ""},
        {"parvelo-ie://client/dialog", ChannelCall::Unknown, "", ""},
        {"parvelo-ie://client/media?src=data%3Aaudio%2Fwav%2C", ChannelCall::Unknown, "", ""},
        {"parvelo-ie://client/media?src=parvelo-flash%3A%2F%2Fplayer%2Fruffle.js",
         ChannelCall::Unknown, "", ""},
        // Other addresses of the scheme, and other schemes.
        {"parvelo-ie://other/clipboard", ChannelCall::Unknown, "", ""},
        {"parvelo-ie://client:80/clipboard", ChannelCall::Unknown, "", ""},
        {"parvelo-ie://user@client/clipboard", ChannelCall::Unknown, "", ""},
        {"parvelo-ie://client/clipboard/", ChannelCall::Unknown, "", ""},
        {"parvelo-ie://client/Dialog?url=http%3A%2F%2Fa%2F", ChannelCall::Unknown, "", ""},
        {"parvelo-ie://client/", ChannelCall::Unknown, "", ""},
        {"parvelo-flash://client/clipboard", ChannelCall::Unknown, "", ""},
        {"http://client/clipboard", ChannelCall::Unknown, "", ""},
    };
    for (const CallCase& c : cases) {
        const ChannelRequest request = ParseChannelRequest(QUrl(QString::fromUtf8(c.address)));
        EXPECT_EQ(request.call, c.call) << c.address;
        EXPECT_EQ(request.target.toString(), QString::fromUtf8(c.target)) << c.address;
        EXPECT_EQ(request.text, QString::fromUtf8(c.text)) << c.address;
    }
}

TEST(PageChannel, ADialogKeepsItsArgumentsAndFeaturesAsSent) {
    const ChannelRequest request = ParseChannelRequest(QUrl(
        QStringLiteral("parvelo-ie://client/dialog?url=http%3A%2F%2Fh%2Fd&args=%7B%22value%22%3A"
                       "%5B%22%E4%B8%AD%26%3D%22%5D%7D&features=center%3Ayes%3BdialogTop%3A1")));
    EXPECT_EQ(request.arguments, QStringLiteral("{\"value\":[\"中&=\"]}"));
    EXPECT_EQ(request.features, QStringLiteral("center:yes;dialogTop:1"));
}

struct OriginCase {
    const char* host;
    const char* origin;
};

TEST(PageLayer, TheOriginIsSpeltAsPagesSpellIt) {
    const OriginCase cases[] = {
        {"http://127.0.0.1:8731/", "http://127.0.0.1:8731"},
        {"http://127.0.0.1:8731/Home/", "http://127.0.0.1:8731"},
        {"HTTP://Learn.Example.EDU/", "http://learn.example.edu"},
        {"http://learn.example.edu:80/", "http://learn.example.edu"},
        {"https://learn.example.edu:443", "https://learn.example.edu"},
        {"https://learn.example.edu:8443/x", "https://learn.example.edu:8443"},
        {"http://[::1]:8731/", "http://[::1]:8731"},
        {"  http://127.0.0.1:8731/  ", "http://127.0.0.1:8731"},
        // No web address: no platform page gets the layer.
        {"", ""},
        {"127.0.0.1:8731", ""},
        {"file:///opt/parvelo/index.html", ""},
        {"ftp://learn.example.edu/", ""},
    };
    for (const OriginCase& c : cases)
        EXPECT_EQ(PlatformOriginText(QString::fromUtf8(c.host)), QString::fromUtf8(c.origin))
            << c.host;
}

TEST(PageLayer, TheLayerRunsOnlyInTheGivenOriginsDocuments) {
    const QString script = PageLayerScript(QStringLiteral("http://127.0.0.1:8731"));
    EXPECT_TRUE(script.contains(
        QStringLiteral("if (location.origin !== \"http://127.0.0.1:8731\") return;")));
    EXPECT_TRUE(script.contains(QStringLiteral("window.showModalDialog")));
    // The gate comes before any file of the layer.
    EXPECT_LT(script.indexOf(QStringLiteral("location.origin !==")),
              script.indexOf(QStringLiteral("(function (ie)")));
}

} // namespace
