#include "FolderScan.h"

#include "FolderPaths.h"

#include "platform/FileSystem.h"

namespace Folders {

ToolLists scanToolFolder(const QString& folder)
{
    ToolLists lists;
    QString base = folder;
    if (!base.endsWith(u'/'))
        base += u'/';
    const QStringList names = Platform::listSubfolders(base).mid(0, MaxToolItems);
    for (const QString& name : names) {
        lists.LstFolder.append(name);
        lists.LstFolderA.append(base + name);
    }
    return lists;
}

void ScanToolFiles(ToolLists& lists)
{
    lists.LstFileA.clear();
    lists.LstFile.clear();
    for (QString folder : std::as_const(lists.LstFolderA)) {
        if (!folder.endsWith(u'/'))
            folder += u'/';
        const QStringList names = Platform::listFiles(folder, QStringLiteral("*.*"));
        for (const QString& name : names) {
            if (lists.LstFileA.size() >= MaxToolItems)
                break;
            lists.LstFileA.append(folder + name);
        }
    }
    for (const QString& path : std::as_const(lists.LstFileA))
        lists.LstFile.append(LastPathPart(path));
}

QString toolFolderOf(const ToolLists& lists)
{
    return lists.LstFolderA.isEmpty() ? QString() : ParentPath(lists.LstFolderA.constFirst()) + u'/';
}

} // namespace Folders
