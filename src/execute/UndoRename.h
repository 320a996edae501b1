#pragma once

#include <QString>
#include <QStringList>

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
    bool documentUpdated = true; // false when the deletion or the rewrite failed (a warning said so)
    bool undoFolderHasFiles = false;
};

// The undo of a rename, behind the toolbar button "撤消重命名"; needs no listed
// file. Through `dialogs`:
//  1. an open-file dialog (filter "文本文档(*.txt)|*.txt", initial folder
//     `undoFolder`); cancelled: stop;
//  2. a document that cannot be read: a warning naming it, stop;
//  3. the question "要撤消以下文件夹中所有文件重命名吗？" CR LF + every folder the
//     document's entries rename in, one a line, each as its real path
//     (undoFolders; Yes/No, information icon, No default); No: stop, the
//     document stays;
//  4. each entry is renamed back, from the last to the first (so renames that
//     built on one another unwind), never replacing anything; an entry whose
//     current path does not exist is missing, unless its old path exists: then
//     it was undone already (an undo killed part-way) and is dropped without a
//     word; one the file system refuses (its old name is taken again), or whose
//     paths are invalid (entryProblem), counts neither way;
//  5. the document is deleted when every entry was undone (now or before) or
//     it was empty; when some entries were not it is rewritten atomically to
//     hold exactly those (in the same format), so they can be undone later;
//     when nothing was undone it stays as it was; when the deletion or the
//     rewrite fails the document stays as it was and a warning names it;
//  6. missing > 0: a plain message (no icon) with the last missing path in
//     document order, CR LF, "等" + missing + "文件不存在,不能撤消重命名!";
//     undone > 0: a plain message undone + " 个文件按要求撤消重命名！".
// Afterwards the window disables "执行重命名" when undoFolderHasFiles is false;
// the other buttons keep their state. The file list is not refreshed.
UndoOutcome UndoRename(Platform::Dialogs& dialogs, const QString& undoFolder);

QString undoQuestion(const QString& folderText);

class UndoLogDocument;
// The folders an undo of `document` renames in, each once in document order:
// the folder of every entry that can be played back, as its real path when a
// symbolic link lies on the way.
QStringList undoFolders(const UndoLogDocument& document);
// The question with every one of those folders, one a line (the document's
// first folder text when there is none).
QString undoQuestion(const UndoLogDocument& document);

} // namespace Execute
