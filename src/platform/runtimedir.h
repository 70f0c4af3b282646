#pragma once

#include <QString>

// The per-user folder for the single-instance lock, the hand-over socket and the log's lock.
// Another local user must not be able to plant or hold files there, so only a folder that is
// provably private is used.
struct RuntimeFolder {
    QString path; // ends without a separator; empty when no private folder could be had
    QString note; // where the folder came from, or why there is none
};

// sessionFolder ($XDG_RUNTIME_DIR) when it is a private folder; otherwise "parvelo-<uid>" in
// tempFolder, created when missing. Private means, as lstat sees it: a real folder (not a
// link), owned by the user, mode 0700. A folder that fails the check is never used.
RuntimeFolder FindRuntimeFolder(const QString& sessionFolder, const QString& tempFolder);

// The same for this process's environment.
RuntimeFolder FindRuntimeFolder();

// The path of FindRuntimeFolder(); empty when there is no private folder.
QString RuntimeDirectory();
