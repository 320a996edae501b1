#pragma once

#include <QString>

namespace Platform {
class Dialogs;
} // namespace Platform

namespace Execute {

struct UndoOutcome
{
    enum class Result
    {
        Cancelled,  // the file dialog was cancelled
        Unreadable, // the chosen document could not be read (a message said so)
        Declined,   // the question was answered No: nothing changed
        Done,
    };
    enum class DocumentFate
    {
        Untouched, // nothing was undone: the document stays as it was
        Deleted,   // every entry was undone, or the document was empty
        Rewritten, // it now holds exactly the entries that could not be undone
    };

    Result result = Result::Cancelled;
    QString documentPath;
    int undone = 0;
    int missing = 0; // entries whose current path does not exist
    int refused = 0; // entries whose rename back the file system refused
    DocumentFate fate = DocumentFate::Untouched;
    bool documentUpdated = true; // false when the deletion or the rewrite failed
    bool undoFolderHasFiles = false;
};

// The undo of a rename, behind the toolbar button "撤消重命名"; needs no listed
// file. Through `dialogs`:
//  1. an open-file dialog (filter "文本文档(*.txt)|*.txt", initial folder
//     `undoFolder`); cancelled: stop;
//  2. a document that cannot be read: a warning naming it, stop;
//  3. the question "要撤消以下文件夹中所有文件重命名吗？" CR LF + the folder of
//     its first entry (Yes/No, information icon, No default); No: stop, the
//     document stays;
//  4. each entry is renamed back, from the last to the first (so renames that
//     built on one another unwind), never replacing anything; an entry whose
//     current path does not exist is missing, one the file system refuses (its
//     old name is taken again) counts neither way;
//  5. the document is deleted when every entry was undone or it was empty; when
//     some entries were not undone it is rewritten atomically to hold exactly
//     those (in the same format), so they can be undone later; when nothing
//     was undone it stays as it was;
//  6. missing > 0: a plain message (no icon) with the last missing path in
//     document order, CR LF, "等" + missing + "文件不存在,不能撤消重命名!";
//     undone > 0: a plain message undone + " 个文件按要求撤消重命名！".
// Afterwards the window disables "执行重命名" when undoFolderHasFiles is false;
// the other buttons keep their state. The file list is not refreshed.
UndoOutcome UndoRename(Platform::Dialogs& dialogs, const QString& undoFolder);

QString undoQuestion(const QString& folderText);

} // namespace Execute
