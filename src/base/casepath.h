#pragma once

#include <QString>

// The path itself when it exists; otherwise the path with its last component replaced by an
// existing entry of the same directory whose name differs only in letter case; otherwise the
// path unchanged. Names such as "Conf.ini" and "conf.ini" thereby reach one file.
QString FindFileIgnoringCase(const QString& path);
