#include "FolderPreview.h"

#include "FolderPaths.h"

#include "platform/Dialogs.h"
#include "rename/FillNewName.h"
#include "rename/NameParts.h"

namespace Folders {

PreviewResult PreviewToolNames(Platform::Dialogs& dialogs, const PreviewRequest& request)
{
    PreviewResult result;
    if (request.toolFolder.isEmpty() || !request.lists) {
        dialogs.inform(noFolderMessage(), messageTitle());
        return result;
    }
    const ToolLists& lists = *request.lists;
    result.ran = true;
    switch (request.mode) {
    case ToolMode::FolderFirst:
    case ToolMode::FolderLast:
        result.itemCount = lists.LstFile.size();
        for (qsizetype i = 0; i < result.itemCount; ++i) {
            const QString& path = lists.LstFileA.at(i);
            const QString folderName = LastPathPart(ParentPath(path));
            if (request.mode == ToolMode::FolderFirst) {
                result.LstNew.append(folderName + LastPathPart(path));
            } else {
                const Rename::NameParts parts = Rename::SplitExtension(LastPathPart(path));
                result.LstNew.append(parts.base + folderName + parts.ext);
            }
        }
        break;
    case ToolMode::FoldersOnly:
        result.itemCount = lists.LstFolder.size();
        if (!methodSupported(request.method)) {
            dialogs.plain(unsupportedMessage());
            break;
        }
        result.LstNew = Rename::FillNewName(lists.LstFolder, request.method, request.options, true).names;
        break;
    }
    return result;
}

} // namespace Folders
