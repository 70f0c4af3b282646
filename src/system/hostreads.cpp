#include "system/hostreads.h"

#include "system/settings.h"

THostReads::Answer THostReads::OnRead(const QString& file, const ProfileRead& read) {
    if (file != file_) {
        file_ = file;
        lastHost_.reset();
        told_ = false;
    }
    if (read.status != ProfileReadStatus::Unreadable) {
        lastHost_ = HostWithSlash(read.value);
        return {*lastHost_, false};
    }
    const bool tell = !told_;
    told_ = true;
    return {lastHost_.value_or(QString()), tell};
}
