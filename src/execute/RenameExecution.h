#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace Platform {
class Clock;
class Dialogs;
} // namespace Platform

namespace Execute {

// Outcome of one row of an execution.
enum class RowStatus
{
    Renamed,
    SourceMissing, // the old name no longer exists
    TargetExists,  // the new name is taken (also by a folder, also the old name itself)
    InvalidName,   // empty, ".", "..", or holding "/" or NUL: it would leave the folder
    NotRecordable, // the undo record could not hold it faithfully (line break, not GBK, ...)
    Refused,       // the file system refused the rename (permissions, immutable folder, ...)
    Stopped,       // not tried: the run stopped because an entry could not be recorded
};

// A plain request, filled by the main window or the command-line tool.
struct RenameRequest
{
    QString folder;       // CurrentFolder, absolute; "/" is appended when missing
    QStringList oldNames; // column OldName, row i at index i
    QStringList newNames; // column NewName; rows beyond its end count as empty
    QString undoFolder;   // where the undo record is written (AppPaths::undoFolder()); empty: nowhere
    const Platform::Clock* clock = nullptr; // names the record; nullptr: the system clock
    // The moment the user asked for the execution, read before the question;
    // it names the record. When invalid, `clock` is read at the start of the run.
    QDateTime requestedAt;
    // Called after each row (rows done, rows in all), for a progress display.
    std::function<void(qsizetype, qsizetype)> progress;
    // Called with a warning the moment it arises (before the first rename when
    // the record cannot be created); the texts are also in RenameOutcome::warnings.
    std::function<void(const QString&)> warn;
};

struct RenameOutcome
{
    QStringList options;       // column option per row: "操作成功" or "操作失败"
    QList<RowStatus> statuses; // per row
    QStringList reasons;       // per row: why it failed, empty when renamed
    qsizetype renamed = 0;
    QString undoLogPath; // the record document of this run
    // True when the record was created and holds every rename of the run. When
    // false (a missing or read-only undo folder, a full disk) the renames still
    // took place; the ones not recorded cannot be undone.
    bool recorded = false;
    // Why the run stopped before its last row (an entry could not be written
    // to the record), or empty when it went through.
    QString stopReason;
    // What the user must know about the record (it could not be created, it
    // was removed or replaced mid-run and written anew), in order.
    QStringList warnings;
};

// The question asked before an execution of methods 0 to 7: "是否重命名这些文件?"
// with Yes and No, the information icon and No as the default. The caller asks
// it (the window through its dialogs, the command-line tool on its terminal or
// through an option) before calling ExecuteRename; true on Yes.
bool ConfirmRename(Platform::Dialogs& dialogs);

// Why `name` cannot be a name inside a folder (empty, ".", "..", holding "/"
// or NUL: it would leave the folder or name none), or an empty text.
QString plainNameProblem(const QString& name);
QString renameQuestion();

// Renames, for each row i in order, folder + oldNames[i] to folder + newNames[i]
// and records each rename in a new or appended record document
// undoFolder/UndoLogName(now). Asks nothing and shows nothing.
//
// A row is renamed only when its old name exists and its new name is free, in
// one step of the file system (no rename ever replaces a file or folder), and
// when both names stay inside the folder and can be recorded; every other row
// gets "操作失败" and nothing of it moves.
//
// Each entry reaches the document with one write() just before its rename and
// is taken back when the rename does not happen, so the document records every
// completed rename even when the process is killed mid-run (a kill between the
// write and the rename leaves one entry whose file was not renamed; the undo
// counts it as missing or refused). The document is flushed to disk once at
// the end. With no rename at all the (new) document is left empty.
//
// Every rename that happens is in a record:
// - when an entry cannot be written (a full disk), the run stops before that
//   rename: that row and every later one get "操作失败" (Stopped) and
//   stopReason says why;
// - the run keeps its entries in memory; every few hundred entries and before
//   the last flush it checks that its document is still in place, and when it
//   was removed or replaced it writes every entry so far to a new document
//   (the same name when free, else "… (2).txt" and so on; undoLogPath names
//   it) and goes on, with a warning;
// - when the document cannot be created at all (a missing or read-only undo
//   folder), the renames go ahead unrecorded, after a warning (warn).
//
// The command around it, with the question, the warnings and what follows
// for the window (the hidden list re-read, the toolbar), is
// App::RunExecuteCommand.
RenameOutcome ExecuteRename(const RenameRequest& request);

// Method 8: gives each listed file the attribute value `attributeMask`
// (replacing its whole value). Per row: "成功设置", or "操作失败" when the
// attributes cannot be set (the file vanished, the file system refuses).
// Records nothing, asks nothing. The window disables "执行重命名" afterwards.
QStringList ApplyAttributes(const QString& folder, const QStringList& names, int attributeMask);

// Column OldName after an execution: `listing`, the hidden file list re-read
// from the folder with its pattern, position by position for as many rows as
// there were (`previousOldNames`); a row beyond the end of the new listing
// shows an empty name. FileCount stays as it was.
QStringList RefreshOldNames(const QStringList& listing, const QStringList& previousOldNames);

// "操作成功", "操作失败", "成功设置".
QString optionText(RowStatus status);
QString attributesSetText();

} // namespace Execute
