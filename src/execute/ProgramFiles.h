#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Platform {
class AppPaths;
class Dialogs;
} // namespace Platform

namespace Execute {

// The files the program keeps in its data folder (AppPaths::dataFolder()): the
// name character table "HanZi.txt" and the help document "FileHelp.html". A
// copy of each is built into the executable, so a missing one can always be
// put back.
QStringList shippedFileNames();
QString characterTableName(); // "HanZi.txt"
QString helpFileName();       // "FileHelp.html"
// The built-in copy of a shipped file; empty for another name.
QByteArray shippedFileContent(const QString& name);

struct RestoreReport
{
    QStringList restored; // files written back, and "undofile" when it was created again
    QStringList failed;   // what could not be restored
    QStringList reasons;  // why, one per failed name
    qsizetype count() const { return restored.size(); }
};

// Puts back every shipped file that is found neither in the data folder nor in
// the install's data folder (AppPaths::programFile), and creates the undo folder
// when it is missing. A file is written beside its place and then moved there
// without replacing, so a file that appears meanwhile is left alone and no
// half-written file is ever under the real name. Shows nothing.
// Start-up calls it (silently) to install the shipped files on the first start
// and to create the undo folder.
RestoreReport RestoreProgramFiles(const Platform::AppPaths& paths);

// "修复错误": RestoreProgramFiles, then through `dialogs` (information icon)
// "控件错误修复成功！" when anything was restored, or "没有控件错误，" CR LF
// "不需任何修复！" when nothing was missing. What could not be restored is not
// counted: it is named in a warning with the reason instead.
RestoreReport RepairComponents(Platform::Dialogs& dialogs, const Platform::AppPaths& paths);

} // namespace Execute
