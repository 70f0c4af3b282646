#include "ui/msgboxlayout.h"

#include "base/textsplit.h"

#include <QStringList>

namespace {
constexpr int OkLeftOfTwo = 64;
constexpr int CancelLeftOfTwo = 168;
} // namespace

MsgButtonPlacement PlaceMsgButtons(int kind, int formWidth, int buttonWidth) {
    MsgButtonPlacement placement;
    if (kind == 1) {
        placement.okLeft = (formWidth - buttonWidth) / 2;
        placement.cancelVisible = false;
    } else {
        placement.okLeft = OkLeftOfTwo;
        placement.cancelLeft = CancelLeftOfTwo;
        placement.cancelVisible = true;
    }
    return placement;
}

MsgBodyLayout LayOutMsgBody(const QString& text) {
    const QStringList lines = SplitText(text, QStringLiteral("\n"));
    MsgBodyLayout layout;
    if (lines.size() <= 1) {
        // Callers always pass some text; an empty one is shown like a single empty line.
        layout.bodyTop = 60;
        layout.bodyCaption = text;
    } else if (lines.size() == 2) {
        layout.bodyTop = 52;
        layout.bodyCaption = lines[0];
        layout.body2Top = 72;
        layout.body2Caption = lines[1];
    } else {
        layout.bodyTop = 39;
        layout.bodyCaption = lines[0];
        layout.body2Top = 59;
        layout.body2Caption = lines[1];
        layout.body3Top = 79;
        layout.body3Caption = lines[2];
    }
    return layout;
}
