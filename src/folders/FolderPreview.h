#pragma once

#include "FolderScan.h"
#include "FolderTexts.h"

#include "rename/RenameOptions.h"

namespace Platform {
class Dialogs;
} // namespace Platform

namespace Folders {

// The window's state that a preview reads.
struct PreviewRequest
{
    QString toolFolder; // the text of `TxtAdress`; empty: no folder picked
    ToolMode mode = ToolMode::FoldersOnly;
    const ToolLists* lists = nullptr;
    // The main window's method and panel options (mode 0 only).
    Rename::RenameMethod method = Rename::RenameMethod::Numbering;
    Rename::RenameOptions options;
};

struct PreviewResult
{
    bool ran = false;        // false: stopped at "请选择文件夹！", nothing changed
    QStringList LstNew;      // one new name per item, in item order
    qsizetype itemCount = 0; // `ToolItemCount`, valid when ran
};

// `PreviewToolNames()`: one new name per item, nothing on disk changes.
//  - no folder picked: "请选择文件夹！" (information icon, title "   文件夹重命名"), stop;
//  - mode 1: folder name + file name ("春游" + "IMG_01.JPG");
//  - mode 2: base + folder name + lower-cased extension ("IMG_01春游.jpg");
//  - mode 0: the main window's method 0, 2 or 7 through the main window's own
//    rules, with each folder name as a whole base and no extension; any other
//    method shows the list of supported methods (plain) and gives no names,
//    while `itemCount` is the number of folders.
// The names are not checked: the execution refuses what cannot be used.
PreviewResult PreviewToolNames(Platform::Dialogs& dialogs, const PreviewRequest& request);

} // namespace Folders
