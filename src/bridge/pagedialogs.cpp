#include "bridge/pagedialogs.h"

#include "ui/plainmessage.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
const QString DialogCaption = QStringLiteral("温馨提示");
} // namespace

void ShowPageAlert(QWidget* parent, const QString& message) {
    ShowPlainMessage(parent, QMessageBox::Warning, DialogCaption, message, false);
}

bool AskPageConfirm(QWidget* parent, const QString& message) {
    return ShowPlainMessage(parent, QMessageBox::Question, DialogCaption, message, true);
}

bool AskPagePrompt(QWidget* parent, const QString& message, const QString& defaultValue,
                   QString* result) {
    QDialog dialog(parent);
    dialog.setWindowTitle(DialogCaption);
    auto* label = new QLabel(message, &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    auto* answer = new QLineEdit(defaultValue, &dialog);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(OkButtonText, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelButtonText, QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(answer);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *result = answer->text();
    return true;
}
