#pragma once

#include <QString>
#include <QStringList>

namespace Platform {

// File-system services the whole program uses. Paths are absolute, "/"-separated.

// True when a file or folder (or a link, even a dangling one) exists at `path`;
// false for an empty or malformed path. Never fails.
bool PathExists(const QString& path);

// Wildcard matching as the file list does it: `patterns` is a ";"-separated
// list ("*.doc;*.docx"), matched without regard to letter case; "*.*" matches
// every name, with or without a dot. An empty pattern list matches nothing.
bool matchesPatterns(const QString& name, const QStringList& patterns);
QStringList splitPatterns(const QString& patterns);

// Names of the plain files of `folder` that match `patterns`, ordered
// alphabetically without regard to case (names equal but for case in a fixed
// order). Sub-folders, hidden files (dot names, hidden or system attribute)
// are left out. `ok` is false when the folder cannot be read.
QStringList listFiles(const QString& folder, const QString& patterns, bool* ok = nullptr);

// Names of the sub-folders of `folder` (hidden ones left out), in the same order.
QStringList listSubfolders(const QString& folder, bool* ok = nullptr);

// Orders names as the listings do.
void sortNames(QStringList& names);

enum class RenameResult
{
    Renamed,
    TargetExists,
    SourceMissing,
    Failed
};

// Renames a file or folder, never replacing what exists at `to`: the check and
// the rename are one step of the file system (renameat2 with RENAME_NOREPLACE;
// link and unlink for a file where the file system does not offer it).
RenameResult renameNoReplace(const QString& from, const QString& to, QString* error = nullptr);
// Same, for two native names inside the folder open as `dirFd` (O_PATH is
// enough): a run over one folder resolves its path once instead of per file.
RenameResult renameNoReplaceAt(int dirFd, const QByteArray& from, const QByteArray& to,
                               QString* error = nullptr);

// Copies a file. Without `replace` an existing target is left alone and the copy
// fails; with it the copy is written beside the target and renamed over it, so
// the target is either the old or the complete new file.
bool copyFile(const QString& from, const QString& to, bool replace, QString* error = nullptr);

bool makeFolder(const QString& path);
bool removeFile(const QString& path);

// Writes `data` to `path` atomically: a temporary file beside it, flushed to
// disk, then renamed over it. On failure the original is untouched.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

QString errnoText(int error);

} // namespace Platform
