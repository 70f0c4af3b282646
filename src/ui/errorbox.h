#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

// A failure raised inside an event handler: its text goes to the default error box and the
// message loop goes on.
class ClientError : public std::runtime_error {
public:
    explicit ClientError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// The default error box: the failure's text under the application title.
void ShowDefaultError(const QString& text);

// Runs an event handler; a failure it raises is shown in the default error box.
void RunHandler(const std::function<void()>& handler);
