#pragma once

#include <QString>

// Why the module file at path must not be loaded: empty when it may be. A module is trusted
// when the file it leads to and every folder above that belong to the user or to root and
// nobody else can change them: the file not writable by group or others, each folder neither,
// unless it has the sticky bit (as /tmp has), which keeps others from replacing what is in it.
// checkedFile, when given, receives the file that was checked: the path with every link
// resolved. That path is the one to load: loading the given path would follow its links again,
// and a link can lead elsewhere by then. Nobody else can change what the checked path names.
QString ModuleTrustProblem(const QString& path, QString* checkedFile = nullptr);
