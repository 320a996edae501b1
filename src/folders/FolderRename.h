#pragma once

#include "FolderTexts.h"

#include <QList>
#include <QStringList>

namespace Platform {
class Clock;
class Dialogs;
} // namespace Platform

namespace Folders {

// The window's state that an execution reads.
struct ToolRunRequest
{
    QString toolFolder; // `ToolFolder`, ending with "/"
    ToolMode mode = ToolMode::FoldersOnly;
    bool copy = false;                      // `ChkCopy` (modes 1 and 2)
    qsizetype itemCount = 0;                // `ToolItemCount` of the last preview
    QStringList LstFolderA;                 // mode 0 items
    QStringList LstFileA;                   // mode 1 and 2 items
    QStringList LstNew;                     // entry i: the new name of item i (missing: empty)
    QString undoFolder;                     // where the mode-0 record goes; empty: nowhere
    const Platform::Clock* clock = nullptr; // names the record; nullptr: the system clock
};

struct ToolRunOutcome
{
    enum class Result
    {
        NoItems,  // "请选择文件夹！": no preview yet
        Refused,  // a message said why; nothing changed
        Declined, // the question was answered No
        Done,
    };
    Result result = Result::NoItems;
    QStringList paths;    // per item: its full path
    QStringList newNames; // per item: its new name
    QStringList options;  // per item: "操作成功" or "操作失败"
    QStringList reasons;  // per item: why it failed, empty when done
    qsizetype done = 0;
    qsizetype skipped = 0;
    QString undoLogPath; // mode 0: the record of this run
    bool recorded = false;
    QString copyFolder; // copy mode: the folder the copies went to, with "/"
    QString closingMessage;
};

// The copy folder of `toolFolder`: its sibling named "_" + its name, with a
// trailing "/" ("/photos/相册/" gives "/photos/_相册/"); empty for the root,
// which has no parent to hold it.
QString copyFolderOf(const QString& toolFolder);

// The question asked before an execution: "是否重命名这些文件夹?" (mode 0),
// "是否将文件复制到新建文件夹?" (copy), "是否重命名这些文件?" CR LF
// "执行操作后不能撤消恢复！" (modes 1 and 2 in place).
QString runQuestion(ToolMode mode, bool copy);

// `ExecuteToolRename()`, behind `CmdOK`. Through `dialogs`:
//  1. no items: "请选择文件夹！" (information icon, title "   文件夹重命名"), stop;
//  2. the question of the mode (Yes/No, information icon, No default); No: stop;
//  3. mode 0 renames each sub-folder to ToolFolder + its new name with
//     Execute::ExecuteRename, the main window's own execution, so the record is
//     the same document the main window's undo plays back; modes 1 and 2 rename
//     each file inside its folder, or copy it into copyFolderOf(toolFolder).
//     No rename replaces anything. A copy replaces a copy left by an earlier
//     run (atomically), never one made earlier in the same run; copies keep
//     their source's permissions and are synced to disk once, at the end;
//  4. the closing message of the mode, in every case; when items were skipped
//     a line saying how many follows it, and another when the record could
//     not be written.
// A copy asked for the root folder is refused with a message before anything.
ToolRunOutcome ExecuteToolRename(Platform::Dialogs& dialogs, const ToolRunRequest& request);

} // namespace Folders
