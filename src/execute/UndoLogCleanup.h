#pragma once

#include <QString>
#include <QStringList>

namespace Platform {
class Dialogs;
class Trash;
} // namespace Platform

namespace Execute {

// Where the clearing was asked from: the toolbar button "删除重命名文档" or the
// File menu entry "删除重命名记录文档".
enum class ClearFrom
{
    Toolbar,
    Menu
};

struct ClearOutcome
{
    QStringList trashed; // names moved to the trash
    QStringList kept;    // names the user chose to keep
    QStringList failed;  // names the trash refused (a message said why)
    bool undoFolderHasFiles = false;
    // What the caller disables, when the undo folder is now empty: from the
    // toolbar the buttons "撤消重命名" and "删除重命名文档"; from the menu the
    // entry "删除重命名记录文档" itself (the toolbar keeps its state, and nothing
    // enables the entry again until the program restarts).
    bool disableUndoButtons = false;
    bool disableMenuEntry = false;
};

// Moves every file of the undo folder (plain listing) to the desktop's trash,
// where the file manager can restore it. Before each file it asks, as the
// desktop does, "确实要把此文件放入回收站吗？" CR LF + the file name (title
// "删除文件", Yes/No, question icon, Yes default); a file the user keeps stays.
// A file the trash cannot take stays too and is reported with a warning. No
// message of its own otherwise.
ClearOutcome ClearUndoLogs(Platform::Dialogs& dialogs, Platform::Trash& trash, const QString& undoFolder,
                           ClearFrom from);

QString trashQuestion(const QString& fileName);

} // namespace Execute
