#include "bridge/flashplayerfiles.h"

#include <gtest/gtest.h>

namespace {

struct FileCase {
    const char* address;
    const char* file;
};

TEST(FlashPlayerFiles, OnlyPlainNamesOfThePlayersFolderAreServed) {
    const FileCase cases[] = {
        {"parvelo-flash://player/pageplayer.js", "pageplayer.js"},
        {"parvelo-flash://player/ruffle.js", "ruffle.js"},
        {"parvelo-flash://player/core.ruffle.c80159b526e567babaf5.js",
         "core.ruffle.c80159b526e567babaf5.js"},
        {"parvelo-flash://player/826bb0938097485a2c9d.wasm", "826bb0938097485a2c9d.wasm"},
        // An escaped letter is the letter itself, as the browser reads it.
        {"parvelo-flash://player/%72uffle.js", "ruffle.js"},
        // Out of the folder, or into a subfolder.
        {"parvelo-flash://player/../Conf.ini", ""},
        {"parvelo-flash://player/..", ""},
        {"parvelo-flash://player/%2e%2e/Conf.ini", ""},
        {"parvelo-flash://player/%2E%2E%2FConf.ini", ""},
        {"parvelo-flash://player/..%2fConf.js", ""},
        {"parvelo-flash://player/sub/ruffle.js", ""},
        {"parvelo-flash://player//etc/passwd", ""},
        {"parvelo-flash://player/..\\ruffle.js", ""},
        {"parvelo-flash://player/.hidden.js", ""},
        // Other files of the folder: licences, source maps.
        {"parvelo-flash://player/LICENSE_MIT", ""},
        {"parvelo-flash://player/ruffle.js.map", ""},
        {"parvelo-flash://player/", ""},
        // The address must be the player's own, plain.
        {"parvelo-flash://other/ruffle.js", ""},
        {"parvelo-flash://player:80/ruffle.js", ""},
        {"parvelo-flash://user@player/ruffle.js", ""},
        {"parvelo-flash://player/ruffle.js?x=1", ""},
        {"parvelo-flash://player/ruffle.js#top", ""},
        {"parvelo-flash:/ruffle.js", ""},
        {"file:///opt/parvelo/resource/flash/ruffle/ruffle.js", ""},
        {"http://player/ruffle.js", ""},
    };
    for (const FileCase& c : cases)
        EXPECT_EQ(FlashPlayerFileName(QUrl(QString::fromUtf8(c.address))),
                  QString::fromUtf8(c.file))
            << c.address;
}

TEST(FlashPlayerFiles, TheLoaderIsAFileOfTheFolder) {
    EXPECT_EQ(FlashPlayerFileName(FlashPlayerLoaderAddress()), QStringLiteral("pageplayer.js"));
}

TEST(FlashPlayerFiles, WebAssemblyIsServedAsSuch) {
    const std::pair<const char*, const char*> cases[] = {
        {"826bb0938097485a2c9d.wasm", "application/wasm"},
        {"ruffle.js", "text/javascript"},
        {"pageplayer.js", "text/javascript"},
    };
    for (const auto& [file, type] : cases)
        EXPECT_EQ(FlashPlayerFileType(QString::fromLatin1(file)), QByteArray(type)) << file;
}

} // namespace
