#pragma once

#include <QString>

// The client's skinned message box. Usable from the first moment of start-up: the one box
// is created on first use and reused afterwards.

enum ModalResult { ModalOk = 1, ModalCancel = 2 };

// kind 1: OK only; any other kind: OK and Cancel. An empty title keeps the last one.
int ShowMsgBox(int kind, const QString& title, const QString& text);
void ShowInfo(const QString& text, const QString& title);
int ShowQuestion(const QString& text, const QString& title);
