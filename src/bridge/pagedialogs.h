#pragma once

#include <QString>

class QWidget;

// The dialogs a page's script opens. They carry the client's caption and Chinese buttons, and
// show the page's message as plain text: a page cannot lay out markup, links or pictures in
// a window of the client.
void ShowPageAlert(QWidget* parent, const QString& message);
bool AskPageConfirm(QWidget* parent, const QString& message);
// False when the student cancels; otherwise the answer is in *result.
bool AskPagePrompt(QWidget* parent, const QString& message, const QString& defaultValue,
                   QString* result);
