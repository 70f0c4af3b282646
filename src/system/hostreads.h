#pragma once

#include "base/inifile.h"

#include <QString>
#include <optional>

// What a read of "Host" answers when the settings file may stop being readable while the client
// runs. The platform's address is read on every Flash file, permission and full-screen request
// and every completed document: a file that becomes unreadable keeps the run on the last Host
// read from it, and the user is told once, not once a request.
class THostReads {
public:
    struct Answer {
        // Ends in "/"; empty when the file was never read.
        QString host;
        // True for the first failed read of this file only.
        bool tellUnreadable = false;
    };

    // A read of file; another file starts afresh.
    Answer OnRead(const QString& file, const ProfileRead& read);

private:
    QString file_;
    std::optional<QString> lastHost_;
    bool told_ = false;
};
