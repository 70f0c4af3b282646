#pragma once

#include <QString>
#include <QUrl>

// Where a navigation to a command address comes from, as far as the browser tells.
struct CommandSender {
    // The top page navigates (SendClientCommand, also when a frame of the top page's own
    // origin calls it there); otherwise a frame navigates itself.
    bool mainFrame = true;
    // The top page's address when the navigation starts.
    QUrl topPage;
    // A frame of another origin than the platform's has been created in the top page. The
    // browser does not say which frame navigates, so then no frame's navigation is trusted.
    bool foreignFrames = false;
    // The student has used a frame of another origin (a click, a key) in the top page. The
    // browser then lets that frame navigate the top page too, and does not say who navigates.
    bool foreignFrameInput = false;
};

// Commands come only from the platform's own documents: the top page when it is of the
// platform's origin and no frame of another origin could navigate it, and frames when every
// frame of that page is of the platform's origin too.
bool AcceptsCommandFrom(const CommandSender& sender, const QString& platformHost);
