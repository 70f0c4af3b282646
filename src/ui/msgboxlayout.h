#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

// Where the message box puts its buttons and text lines. The box keeps whatever a message
// leaves untouched (an unset optional) from the message before.

struct MsgButtonPlacement {
    int okLeft = 0;
    bool cancelVisible = false;
    std::optional<int> cancelLeft;
};

// kind 1: OK alone, centred in the form; any other kind: OK and Cancel side by side.
MsgButtonPlacement PlaceMsgButtons(int kind, int formWidth, int buttonWidth);

struct MsgBodyLayout {
    int bodyTop = 0;
    QString bodyCaption;
    std::optional<int> body2Top;
    QString body2Caption;
    std::optional<int> body3Top;
    QString body3Caption;
};

// Splits the text at each line feed and lays out up to three lines; later lines are dropped.
// A single line keeps the whole text as the first line's caption.
MsgBodyLayout LayOutMsgBody(const QString& text);
