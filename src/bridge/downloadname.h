#pragma once

#include <QString>
#include <functional>

// The file name a download is saved under: the name the site suggests, reduced to a plain name
// (no folders, no leading dots that would hide it, no control or direction-changing
// characters), shortened to what a file system allows (255 bytes, less the 11 of the browser's
// ".crdownload" while it runs) with its extension kept;
// "download" when nothing is left.
QString SafeDownloadName(const QString& suggested);

// The first of "name.ext", "name (1).ext", "name (2).ext", ... in the folder that does not exist
// yet: a download never overwrites a file. The numbered names are shortened like the first.
QString UniqueDownloadPath(const QString& folder, const QString& name,
                           const std::function<bool(const QString& path)>& exists);
