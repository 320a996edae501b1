#include "UndoLogCleanup.h"

#include "UndoLog.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"

using namespace Qt::Literals::StringLiterals;

namespace Execute {

QString trashQuestion(const QString& fileName)
{
    return u"确实要把此文件放入回收站吗？"_s + u"\r\n"_s + fileName;
}

ClearOutcome ClearUndoLogs(Platform::Dialogs& dialogs, Platform::Trash& trash, const QString& undoFolder,
                           ClearFrom from)
{
    ClearOutcome outcome;
    for (const QString& name : Platform::listFiles(undoFolder, u"*"_s)) {
        const Platform::MessageAnswer answer =
            dialogs.message({trashQuestion(name), u"删除文件"_s, Platform::MessageIcon::Question,
                             Platform::MessageButtons::YesNo, Platform::MessageAnswer::Yes});
        if (answer != Platform::MessageAnswer::Yes) {
            outcome.kept.append(name);
            continue;
        }
        QString error;
        if (trash.moveToTrash(undoFolder + u'/' + name, &error)) {
            outcome.trashed.append(name);
        } else {
            outcome.failed.append(name);
            dialogs.warn(u"无法把文件放入回收站："_s + name + u"\r\n"_s + error, u"删除文件"_s);
        }
    }
    outcome.undoFolderHasFiles = UndoFolderHasFiles(undoFolder);
    outcome.disableUndoButtons = !outcome.undoFolderHasFiles && from == ClearFrom::Toolbar;
    outcome.disableMenuEntry = !outcome.undoFolderHasFiles && from == ClearFrom::Menu;
    return outcome;
}

} // namespace Execute
