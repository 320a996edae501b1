#pragma once

#include <QStringList>

namespace Folders {

// Each of the tool's lists holds at most this many entries.
constexpr qsizetype MaxToolItems = 32767;

// The tool's lists, index-aligned: LstFolder[i] is the name of the sub-folder
// whose full path (no trailing "/") is LstFolderA[i]; LstFile[i] the name of
// the file at LstFileA[i].
struct ToolLists
{
    QStringList LstFolder;
    QStringList LstFolderA;
    QStringList LstFile;
    QStringList LstFileA;
};

// The folder lists of `folder`: its direct sub-folders, in the order of the
// file list (alphabetical without regard to case), hidden (dot) folders left
// out. Empty when the folder cannot be read or has none.
ToolLists scanToolFolder(const QString& folder);

// `ScanToolFiles()`: the files of each folder of `lists.LstFolderA`, folder by
// folder in that order, each folder's plain files as the file list shows them
// ("*.*", hidden ones left out, sub-folders not entered). A folder that cannot
// be read contributes nothing.
void ScanToolFiles(ToolLists& lists);

// `ToolFolder` for lists that hold at least one folder: ParentPath of the
// first folder + "/".
QString toolFolderOf(const ToolLists& lists);

} // namespace Folders
