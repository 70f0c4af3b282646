#pragma once

#include <QByteArray>
#include <QString>

// Text inside the client is UTF-8. Bytes that are not valid UTF-8 come from files carried over
// from Windows installations, written in the Chinese code page (GBK), and are read as such.
QString DecodeLocalText(const QByteArray& bytes);
