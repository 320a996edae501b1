#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace Execute {

// The rename record document ("undo record"), kept in the undo folder.
//
// Format: GBK text, every line ended by CR LF, nothing but entries. A run that
// touches a path GBK cannot hold writes its document as UTF-8 instead, marked by
// a byte-order mark at its start; a document is one encoding as a whole. One
// entry records one rename as a quoted text over two lines:
//     "<path after the rename>
//     <path before the rename>"
// Entries follow in the order the renames took place. Paths are absolute and
// "/"-separated.

enum class UndoLogEncoding
{
    Gbk,
    Utf8, // with a byte-order mark at the start of the document
};

inline constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";

// Name of the document written at `now`: the date as yyyy-MM-dd (a locale's
// short date may hold "/"), a space, then hour, "时", minute, "分", second,
// "秒.txt" without leading zeros: "2013-10-17 9时5分30秒.txt".
QString UndoLogName(const QDateTime& now);

// True when `undoFolder` holds at least one file as a plain listing shows it
// (any name; sub-folders, hidden and system files do not count). False for a
// missing folder.
bool UndoFolderHasFiles(const QString& undoFolder);

// Why a path cannot be recorded faithfully, or an empty text when it can: a
// line break (it would split the entry), a NUL, or, for the path after the
// rename, a trailing space (the reader trims lines). Any character can be
// recorded: a path GBK lacks makes the document UTF-8.
QString unrecordableReason(const QString& path, bool isCurrentPath);

// The encoding a run's document needs: GBK when every path can be written in
// it, UTF-8 otherwise.
UndoLogEncoding neededEncoding(const QStringList& paths);

// The bytes of one entry in `encoding`. Both paths must be recordable (see above).
QByteArray undoEntryBytes(const QString& currentPath, const QString& oldPath,
                          UndoLogEncoding encoding = UndoLogEncoding::Gbk);
// The same from parts already in the document's encoding: the folder (with its
// trailing "/") and the names after and before the rename. The execution
// writes its entries with it, encoding the folder once per run.
QByteArray encodedUndoEntry(const QByteArray& folder, const QByteArray& currentName,
                            const QByteArray& oldName);

} // namespace Execute
