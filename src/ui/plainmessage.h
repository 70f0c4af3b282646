#pragma once

#include <QMessageBox>
#include <QString>

// The texts of the two buttons every dialog of the client shows.
inline const QString OkButtonText = QStringLiteral("确定");
inline const QString CancelButtonText = QStringLiteral("取消");

// A system message box with Chinese buttons that shows its text as plain text, never as
// markup. True when OK was pressed.
bool ShowPlainMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                      const QString& text, bool withCancel);
