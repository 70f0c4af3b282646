#pragma once

#include <QByteArray>
#include <optional>

// The length the file's own ASF header declares (the file properties' "file size"), when the
// bytes start with an ASF header that holds one; a listening file cut short in its transfer
// is shorter than that.
std::optional<quint64> AsfDeclaredFileSize(const QByteArray& file);
