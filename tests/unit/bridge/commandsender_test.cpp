#include "bridge/commandsender.h"

#include <gtest/gtest.h>

namespace {

const QString Host = QStringLiteral("http://127.0.0.1:8731/Home/");

struct SenderCase {
    bool mainFrame;
    const char* topPage;
    bool foreignFrames;
    bool foreignFrameInput;
    bool accepted;
};

TEST(CommandSender, OnlyThePlatformsDocumentsSendCommands) {
    const SenderCase cases[] = {
        // The platform's top page, and its own frames, themselves or through it.
        {true, "http://127.0.0.1:8731/sof/Lesson/Unit1", false, false, true},
        {false, "http://127.0.0.1:8731/sof/Frames/Own", false, false, true},
        // A frame of another site the student has not used cannot navigate the top page.
        {true, "http://127.0.0.1:8731/sof/Frames/Other", true, false, true},
        // Once used, it can: the top page's navigations are no longer known to be its own.
        {true, "http://127.0.0.1:8731/sof/Frames/Other", true, true, false},
        // A frame while a frame of another site is in the page: which one navigates is unknown.
        {false, "http://127.0.0.1:8731/sof/Frames/Other", true, false, false},
        {false, "http://127.0.0.1:8731/sof/Frames/Other", true, true, false},
        // Another site's top page, with or without frames.
        {true, "http://localhost:8731/sof/Lesson/Unit1", false, false, false},
        {false, "http://localhost:8731/sof/Lesson/Unit1", false, false, false},
        {true, "http://127.0.0.1:8732/sof/Lesson/Unit1", false, false, false},
        {true, "https://127.0.0.1:8731/sof/Lesson/Unit1", false, false, false},
        {true, "http://evil.example/?http://127.0.0.1:8731/", false, false, false},
        {true, "file:///opt/parvelo/errorpage.htm", false, false, false},
        {true, "about:blank", false, false, false},
        {true, "", false, false, false},
    };
    for (const SenderCase& c : cases)
        EXPECT_EQ(AcceptsCommandFrom({c.mainFrame, QUrl(QString::fromLatin1(c.topPage)),
                                      c.foreignFrames, c.foreignFrameInput},
                                     Host),
                  c.accepted)
            << (c.mainFrame ? "top page " : "frame in ") << c.topPage << ", foreign frames "
            << c.foreignFrames << ", used " << c.foreignFrameInput;
}

TEST(CommandSender, NoHostValueTrustsNoDocument) {
    for (const QString& host : {QString(), QStringLiteral("/"), QStringLiteral("not an address")})
        EXPECT_FALSE(AcceptsCommandFrom(
            {true, QUrl(QStringLiteral("http://127.0.0.1:8731/")), false, false}, host))
            << host.toStdString();
}

} // namespace
