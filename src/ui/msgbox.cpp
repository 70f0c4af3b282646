#include "ui/msgbox.h"

#include "log/logger.h"

#include "ui/msgboxlayout.h"
#include "ui/msgform.h"
#include "ui/picclip.h"

#include <QLabel>

#include <memory>

int ShowMsgBox(int kind, const QString& title, const QString& text) {
    TMsgForm* form = MsgForm();
    // A box that is showing keeps its question: a second one meanwhile gets a box of its own.
    std::unique_ptr<TMsgForm> second;
    if (form->isVisible()) {
        second = std::make_unique<TMsgForm>();
        form = second.get();
    }
    if (!title.isEmpty())
        form->MsgTitle->setText(title);
    // The caption holds the whole text until FormShow splits it into lines.
    form->MsgBody->setText(text);

    const MsgButtonPlacement buttons =
        PlaceMsgButtons(kind, form->width(), form->ImgBtnOk->width());
    form->ImgBtnOk->move(buttons.okLeft, form->ImgBtnOk->y());
    if (buttons.cancelLeft)
        form->ImgBtnCancel->move(*buttons.cancelLeft, form->ImgBtnCancel->y());
    form->ImgBtnCancel->setVisible(buttons.cancelVisible);

    DebugLogText(QStringLiteral("message box: %1").arg(text));
    const int result = form->exec();
    DebugLog("message box answered %d", result);
    return result;
}

void ShowInfo(const QString& text, const QString& title) {
    ShowMsgBox(1, title, text);
}

int ShowQuestion(const QString& text, const QString& title) {
    return ShowMsgBox(2, title, text);
}
