#include "BlankLineCommands.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace TextFiles {

qsizetype BlankLineRun::failed() const
{
    return std::count_if(results.cbegin(), results.cend(),
                         [](const BlankLineResult& r) { return !r.cleaned; });
}

bool Read_Txt(Platform::Dialogs& dialogs, const QString& folder, qsizetype& count, QStringList& list)
{
    if (folder.isEmpty()) {
        dialogs.inform(u"请在左侧树状目录中选择文件夹"_s);
        return false;
    }
    QString path = folder;
    if (!path.endsWith(u'/'))
        path += u'/';
    list = Platform::listFiles(path, u"*.txt"_s);
    if (list.isEmpty()) {
        dialogs.plain(u"所选文件夹中没有文本文件，请重新选择！"_s);
        return false;
    }
    count = list.size();
    return true;
}

BlankLineRun RemoveBlankLinesFromFiles(const QStringList& paths, BackupPolicy policy)
{
    BlankLineRun run;
    for (const QString& path : paths) {
        run.paths.append(path);
        run.results.append(RemoveBlankLines(path, policy));
    }
    return run;
}

Platform::MessageRequest singleFileMessage(const QString& path, const BlankLineResult& result,
                                           bool keepBackup)
{
    if (!result.cleaned)
        return {u"文档空行未能删除，原文档未作改动："_s + path + u"\r\n"_s + result.error, QString(),
                Platform::MessageIcon::Warning};
    if (keepBackup)
        return {u"文档空行已经删除,原文档备份在:\r\n"_s + result.backupPath, QString(),
                Platform::MessageIcon::None};
    return {path + u"\r\n文档空行已经全部删除!"_s, QString(), Platform::MessageIcon::None};
}

Platform::MessageRequest allFilesMessage(const BlankLineRun& run)
{
    QString text = u"已完成文档空行删除操作，请查看"_s;
    if (run.failed() > 0) {
        text += u"\r\n以下 "_s + QString::number(run.failed()) + u" 个文件未能处理，未作改动："_s;
        for (qsizetype i = 0; i < run.paths.size(); ++i) {
            if (!run.results.at(i).cleaned)
                text += u"\r\n"_s + run.paths.at(i) + u"（"_s + run.results.at(i).error + u"）"_s;
        }
    }
    return {text, QString(), Platform::MessageIcon::Information};
}

BlankLineRun DelBlankLine(Platform::Dialogs& dialogs, const QString& currentFolder, bool keepBackup)
{
    Platform::FileDialogRequest request;
    request.filter = keepBackup ? u"*.txt"_s : u"文本文档(*.txt)|*.txt"_s;
    request.initialFolder = currentFolder;
    const QString path = dialogs.openFile(request).trimmed();
    if (path.isEmpty())
        return {};
    const BlankLineRun run = RemoveBlankLinesFromFiles(
        {path}, keepBackup ? BackupPolicy::Keep : BackupPolicy::DeleteUnlessReadOnly);
    dialogs.message(singleFileMessage(path, run.results.constFirst(), keepBackup));
    return run;
}

BlankLineRun DelAllBlankLine(Platform::Dialogs& dialogs, const QString& currentFolder, bool keepBackup)
{
    qsizetype count = 0;
    QStringList names;
    if (!Read_Txt(dialogs, currentFolder, count, names) || count == 0)
        return {};
    QString folder = currentFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    QStringList paths;
    for (const QString& name : names)
        paths.append(folder + name);
    const BlankLineRun run =
        RemoveBlankLinesFromFiles(paths, keepBackup ? BackupPolicy::Keep : BackupPolicy::Delete);
    dialogs.message(allFilesMessage(run));
    return run;
}

} // namespace TextFiles
