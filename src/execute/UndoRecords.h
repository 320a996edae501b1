#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace Execute {

// One record document of the undo folder, as a listing shows it.
struct UndoRecordSummary
{
    QString name;          // the file name inside the undo folder
    qsizetype entries = 0; // the renames it holds (UndoLogDocument::entries())
    bool readable = true;  // false when it could not be read; entries is then 0
};

// The moment a record's file name carries, the inverse of UndoLogName(): the
// names "2013-10-17 9时5分30秒.txt" and, for a record written anew mid-run,
// "2013-10-17 9时5分30秒 (2).txt". `copy` receives 1 for the first form and n
// for " (n)". No value for any other name.
std::optional<QDateTime> undoLogNameTime(const QString& name, int* copy = nullptr);

// The records ("*.txt", plain listing) of `undoFolder`, newest first: by the
// moment their name carries (a later copy " (n)" of the same second first),
// a name that carries none by its modification time. A missing folder holds
// none; `ok` is false when the folder exists but cannot be read.
QList<UndoRecordSummary> listUndoRecords(const QString& undoFolder, bool* ok = nullptr);

// Where `argument` names a record: an existing file at that path (relative to
// the working folder); else, when it is a bare name (no "/"), that file in
// `undoFolder`. Empty when neither exists.
QString findUndoRecord(const QString& argument, const QString& undoFolder);

} // namespace Execute
