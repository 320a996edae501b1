#include "ExecuteCommand.h"

#include "HiddenFileList.h"

#include "execute/UndoLog.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "rename/AttributeMask.h"

#include <QDateTime>
#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace App {

ExecuteCommandResult RunExecuteCommand(const ExecuteCommandRequest& request, Platform::Dialogs& dialogs)
{
    using Ran = ExecuteCommandResult::Ran;
    ExecuteCommandResult result;
    const auto toolbar = [&request](ToolbarStep step, const ToolbarFacts& facts = {}) {
        if (request.toolbar)
            request.toolbar(toolbarChange(step, facts));
    };

    if (request.method == Rename::RenameMethod::Workbook)
        return result;
    if (request.method == Rename::RenameMethod::Attributes) {
        result.options = Execute::ApplyAttributes(request.folder, request.oldNames,
                                                  Rename::AttributeMask(request.attributes.ChkSX));
        result.ran = Ran::Attributes;
        toolbar(ToolbarStep::AttributesApplied);
        return result;
    }

    const QDateTime requestedAt = request.clock ? request.clock->now() : QDateTime::currentDateTime();
    toolbar(ToolbarStep::AboutToAsk, {int(request.method), Execute::UndoFolderHasFiles(request.undoFolder)});
    if (request.aboutToAsk)
        request.aboutToAsk();
    if (!Execute::ConfirmRename(dialogs)) {
        result.ran = Ran::Declined;
        return result;
    }

    // Start-up made the undo folder; one removed since is made again rather
    // than leaving the renames unrecorded.
    if (!request.undoFolder.isEmpty() && !Platform::PathExists(request.undoFolder))
        QDir().mkpath(request.undoFolder);
    Execute::RenameRequest rename;
    rename.folder = request.folder;
    rename.oldNames = request.oldNames;
    rename.newNames = request.newNames;
    rename.undoFolder = request.undoFolder;
    rename.clock = request.clock;
    rename.requestedAt = requestedAt;
    rename.warn = [&dialogs](const QString& text) { dialogs.warn(text); };
    result.outcome = Execute::ExecuteRename(rename);
    result.options = result.outcome.options;
    result.ran = Ran::Renamed;
    const Execute::RenameOutcome& outcome = result.outcome;
    if (!outcome.stopReason.isEmpty())
        dialogs.warn(u"重命名已停止："_s + outcome.stopReason + u"，其余文件未重命名。"_s);
    else if (!outcome.recorded && outcome.warnings.isEmpty())
        dialogs.warn(u"重命名记录未能写入："_s + outcome.undoLogPath + u"，这些重命名不能撤消。"_s);

    if (request.file1) {
        // The rows keep their places and FileCount; a folder that cannot be
        // read leaves the hidden list, and so the names, as they were.
        request.file1->refresh();
        result.oldNames = Execute::RefreshOldNames(request.file1->names(), request.oldNames);
    }
    toolbar(ToolbarStep::Renamed);
    return result;
}

} // namespace App
