#pragma once

#include "BlankLines.h"

#include <QList>
#include <QStringList>

namespace Platform {
class Dialogs;
struct MessageRequest;
} // namespace Platform

namespace TextFiles {

// Fills `list` with the names of the .txt files of `folder` (plain files, hidden
// ones left out, in listing order) and sets `count` to their number. Through
// `dialogs`: an empty folder path gives "请在左侧树状目录中选择文件夹"
// (information icon), a folder without .txt files "所选文件夹中没有文本文件，
// 请重新选择！" (no icon); in both cases `count` is left as it was and false is
// returned.
bool Read_Txt(Platform::Dialogs& dialogs, const QString& folder, qsizetype& count, QStringList& list);

// The outcome of one of the four commands, one entry per file processed.
struct BlankLineRun
{
    QStringList paths;
    QList<BlankLineResult> results;
    qsizetype failed() const;
};

// Cleans each path in order with `policy`.
BlankLineRun RemoveBlankLinesFromFiles(const QStringList& paths, BackupPolicy policy);

// The closing message of the single-file commands for `path`: with a backup
// "文档空行已经删除,原文档备份在:" CR LF + the backup actually written; without
// one the path + CR LF + "文档空行已经全部删除!". A file that could not be
// cleaned gets a warning with the reason instead (the file is unchanged).
Platform::MessageRequest singleFileMessage(const QString& path, const BlankLineResult& result,
                                           bool keepBackup);
// The closing message of the all-files commands: "已完成文档空行删除操作，请查看"
// (information icon), followed by the files that could not be cleaned, if any.
Platform::MessageRequest allFilesMessage(const BlankLineRun& run);

// `mDelBlankLine_Click` (keepBackup) and `mDelBlankLine_NoCopy_Click`: asks for
// one file in the open dialog (starting in `currentFolder`), cleans it and
// shows the closing message. Cancelling changes nothing.
BlankLineRun DelBlankLine(Platform::Dialogs& dialogs, const QString& currentFolder, bool keepBackup);
// `mDelAllBlankLine_Click` (keepBackup) and `mDelAllBlankLine_NoCopy_Click`:
// every .txt file of `currentFolder` as Read_Txt lists it before the first one
// is changed; without a backup even read-only backups are deleted.
BlankLineRun DelAllBlankLine(Platform::Dialogs& dialogs, const QString& currentFolder, bool keepBackup);

} // namespace TextFiles
