#pragma once

#include "rename/RenameMethod.h"

#include <QString>

namespace Folders {

// `ToolMode`, the index of the selected `OptFile` option.
enum class ToolMode : int
{
    FoldersOnly = 0, // "仅重命名文件夹"
    FolderFirst = 1, // "文件夹名+文件名"
    FolderLast = 2,  // "文件名+文件夹名"
};

// The caption of `OptFile(mode)`.
QString modeCaption(ToolMode mode);
// Only these methods rename folders: 0, 2 and 7.
bool methodSupported(Rename::RenameMethod method);

QString windowTitle();         // "文件夹重命名"
QString messageTitle();        // "   文件夹重命名" (three spaces first)
QString copyCaption();         // "复制到新文件夹"
QString unsupportedStatus();   // "选项不支持文件夹重命名，请重新选择！"
QString unsupportedMessage();  // the five-line list of the supported methods
QString noFolderMessage();     // "请选择文件夹！"
QString noSubfoldersMessage(); // "所选文件夹内没有子文件夹！"

// Status panel 1 whenever the window becomes active: the option's caption, then
// in mode 0 "+" and the main window's method caption, in modes 1 and 2 the copy
// caption in brackets when `copy`; "功能：" before it, or the unsupported text
// when the method cannot rename folders (in every mode).
QString activationFunctionText(ToolMode mode, bool copy, const QString& methodCaption,
                               Rename::RenameMethod method);
// Status panel 1 after a click on an `OptFile` option: modes 1 and 2 as the
// click on `ChkCopy`; mode 0 the method caption first: "功能：自动编号+仅重命名文件夹",
// or the unsupported text.
QString optionFunctionText(ToolMode mode, bool copy, const QString& methodCaption,
                           Rename::RenameMethod method);
// Status panel 1 after a click on `ChkCopy`.
QString copyFunctionText(ToolMode mode, bool copy);

// "共有 N 个文件夹！", "共有 N 个文件！", "共有 N 个文件(夹)！".
QString folderCountText(qsizetype count);
QString fileCountText(qsizetype count);
QString itemCountText(qsizetype count);

} // namespace Folders
