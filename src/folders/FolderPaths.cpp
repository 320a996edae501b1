#include "FolderPaths.h"

namespace Folders {

QString ParentPath(const QString& path)
{
    const qsizetype at = path.lastIndexOf(u'/');
    return at < 0 ? QString() : path.left(at);
}

QString LastPathPart(const QString& path)
{
    const qsizetype at = path.lastIndexOf(u'/');
    return at < 0 ? QString() : path.mid(at + 1);
}

} // namespace Folders
