#pragma once

#include "ToolbarState.h"

#include "execute/RenameExecution.h"
#include "rename/RenameMethod.h"
#include "rename/RenameOptions.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace Platform {
class Clock;
class Dialogs;
} // namespace Platform

namespace App {

class HiddenFileList;

// What the handler of "执行重命名" gathers from the window, or the command
// line from its options.
struct ExecuteCommandRequest
{
    Rename::RenameMethod method = Rename::RenameMethod::Workbook; // CurrentMethod
    QString folder;                                               // CurrentFolder
    QStringList oldNames;                                         // column OldName, one entry per listed file
    QStringList newNames;                                         // column NewName
    Rename::RenameOptions::Attributes attributes;                 // the boxes of method 8
    QString undoFolder;                                           // where the record goes; made when missing
    const Platform::Clock* clock = nullptr; // names the record; nullptr: the system clock
    // The hidden file list File1, re-read after a rename; nullptr: nothing is re-read.
    HiddenFileList* file1 = nullptr;
    // Called just before the question, so the caller can show what it covers.
    std::function<void()> aboutToAsk;
    // Applies each change of the toolbar as its step comes; nullptr: no toolbar.
    std::function<void(const ToolbarChange&)> toolbar;
};

struct ExecuteCommandResult
{
    enum class Ran
    {
        Nothing,    // method 9
        Attributes, // method 8 set the attributes
        Declined,   // the question was answered No: nothing changed
        Renamed,    // methods 0 to 7 ran
    };
    Ran ran = Ran::Nothing;
    QStringList options;            // column option (Attributes, Renamed)
    QStringList oldNames;           // column OldName after a rename, when file1 was given
    Execute::RenameOutcome outcome; // the rename's own outcome (Renamed)
};

// "执行重命名", for the window and the command line alike:
// - method 9: nothing;
// - method 8: every listed file gets AttributeMask(attributes.ChkSX), no
//   question, no record, no message; toolbar step AttributesApplied;
// - methods 0 to 7: the clock is read (it names the record: the moment of the
//   command, not of the answer); toolbar step AboutToAsk; aboutToAsk; the
//   question ConfirmRename through `dialogs`; on Yes the undo folder is made
//   when missing and ExecuteRename runs, its warnings shown through `dialogs`
//   as they arise, then a warning when the run stopped early ("重命名已停止：…")
//   or when the record does not hold the run for another reason; File1 is re-read
//   and the column OldName follows it (RefreshOldNames); toolbar step Renamed.
// The closing message "操作完成！" is the window's (the command line prints rows).
ExecuteCommandResult RunExecuteCommand(const ExecuteCommandRequest& request, Platform::Dialogs& dialogs);

} // namespace App
