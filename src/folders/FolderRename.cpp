#include "FolderRename.h"

#include "FolderPaths.h"

#include "execute/RenameExecution.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace Folders {

QString runQuestion(ToolMode mode, bool copy)
{
    if (mode == ToolMode::FoldersOnly)
        return u"是否重命名这些文件夹?"_s;
    if (copy)
        return u"是否将文件复制到新建文件夹?"_s;
    return u"是否重命名这些文件?\r\n执行操作后不能撤消恢复！"_s;
}

namespace {

void record(ToolRunOutcome& outcome, const QString& path, const QString& newName, const QString& reason)
{
    outcome.paths.append(path);
    outcome.newNames.append(newName);
    outcome.reasons.append(reason);
    outcome.options.append(reason.isEmpty() ? u"操作成功"_s : u"操作失败"_s);
    if (reason.isEmpty())
        ++outcome.done;
    else
        ++outcome.skipped;
}

QString renameProblem(Platform::RenameResult result, const QString& error)
{
    switch (result) {
    case Platform::RenameResult::Renamed:
        return {};
    case Platform::RenameResult::TargetExists:
        return u"新名称已存在"_s;
    case Platform::RenameResult::SourceMissing:
        return u"原文件不存在"_s;
    case Platform::RenameResult::Failed:
        break;
    }
    return error.isEmpty() ? u"文件系统拒绝"_s : error;
}

void renameFolders(const ToolRunRequest& request, ToolRunOutcome& outcome)
{
    Execute::RenameRequest rename;
    rename.folder = request.toolFolder;
    rename.undoFolder = request.undoFolder;
    rename.clock = request.clock;
    for (qsizetype i = 0; i < request.itemCount; ++i) {
        const QString path = request.LstFolderA.value(i);
        // Every listed folder lies in ToolFolder; one that does not is never touched.
        rename.oldNames.append(ParentPath(path) + u'/' == request.toolFolder ? LastPathPart(path)
                                                                             : QString());
        rename.newNames.append(request.LstNew.value(i));
    }
    const Execute::RenameOutcome renamed = Execute::ExecuteRename(rename);
    for (qsizetype i = 0; i < request.itemCount; ++i)
        record(outcome, request.LstFolderA.value(i), request.LstNew.value(i),
               renamed.statuses.at(i) == Execute::RowStatus::Renamed
                   ? QString()
                   : (renamed.reasons.at(i).isEmpty() ? u"操作失败"_s : renamed.reasons.at(i)));
    outcome.undoLogPath = renamed.undoLogPath;
    outcome.recorded = renamed.recorded;
}

void renameFiles(const ToolRunRequest& request, ToolRunOutcome& outcome)
{
    for (qsizetype i = 0; i < request.itemCount; ++i) {
        const QString path = request.LstFileA.value(i);
        const QString newName = request.LstNew.value(i);
        QString reason = Execute::plainNameProblem(newName);
        if (reason.isEmpty() && path.isEmpty())
            reason = u"原文件不存在"_s;
        if (reason.isEmpty()) {
            QString error;
            reason = renameProblem(Platform::renameNoReplace(path, ParentPath(path) + u'/' + newName, &error),
                                   error);
        }
        record(outcome, path, newName, reason);
    }
}

// Copies the bytes of `in` to `out` (both open), in the kernel where it can.
bool copyBytes(int in, int out)
{
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n == 0)
            return true;
        if (n > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL)
            return false;
        break;
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += w;
        }
    }
}

// Copies `from` to the name `name` in the folder open as `dirFd`. A new name is
// created exclusively; a name that exists (an earlier run's copy) is replaced
// by writing a temporary file beside it and renaming it over, so it is at every
// moment the old or the complete new copy. The run syncs the folder's file
// system once at its end, as a copy by hand followed by sync would.
QString copyInto(const QString& from, int dirFd, const QString& name)
{
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return Platform::errnoText(errno);
    struct stat st
    {
    };
    ::fstat(in, &st);
    const QByteArray target = QFile::encodeName(name);
    QByteArray written = target;
    int out = ::openat(dirFd, target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0 && errno == EEXIST) {
        for (int attempt = 0; attempt < 100 && out < 0; ++attempt) {
            written = ".~" + target.left(200) + '.' + QByteArray::number(::getpid()) + '.' +
                      QByteArray::number(attempt);
            out = ::openat(dirFd, written.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                           st.st_mode & 0777);
            if (out < 0 && errno != EEXIST)
                break;
        }
    }
    if (out < 0) {
        const QString error = Platform::errnoText(errno);
        ::close(in);
        return error;
    }
    bool good = copyBytes(in, out);
    int error = good ? 0 : errno;
    ::close(in);
    if (::fchmod(out, st.st_mode & 07777) != 0 && good) {
        good = false;
        error = errno;
    }
    if (::close(out) != 0 && good) {
        good = false;
        error = errno;
    }
    if (good && written != target && ::renameat(dirFd, written.constData(), dirFd, target.constData()) != 0) {
        good = false;
        error = errno;
    }
    if (!good) {
        ::unlinkat(dirFd, written.constData(), 0);
        return Platform::errnoText(error);
    }
    return {};
}

void copyFiles(const ToolRunRequest& request, ToolRunOutcome& outcome)
{
    Platform::makeFolder(outcome.copyFolder);
    const int dirFd =
        ::open(QFile::encodeName(outcome.copyFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // Names this run wrote: a later item never replaces an earlier one's copy.
    QSet<QString> written;
    for (qsizetype i = 0; i < request.itemCount; ++i) {
        const QString path = request.LstFileA.value(i);
        const QString newName = request.LstNew.value(i);
        QString reason = Execute::plainNameProblem(newName);
        if (reason.isEmpty() && written.contains(newName))
            reason = u"本次已有同名文件复制到新文件夹"_s;
        if (reason.isEmpty() && dirFd < 0)
            reason = u"无法建立新文件夹"_s;
        if (reason.isEmpty()) {
            reason = copyInto(path, dirFd, newName);
            if (reason.isEmpty())
                written.insert(newName);
        }
        record(outcome, path, newName, reason);
    }
    if (dirFd >= 0) {
        ::syncfs(dirFd);
        ::close(dirFd);
    }
}

} // namespace

QString copyFolderOf(const QString& toolFolder)
{
    const QString folder = ParentPath(toolFolder);
    if (folder.isEmpty())
        return {};
    return ParentPath(folder) + u"/_"_s + LastPathPart(folder) + u'/';
}

ToolRunOutcome ExecuteToolRename(Platform::Dialogs& dialogs, const ToolRunRequest& request)
{
    ToolRunOutcome outcome;
    if (request.itemCount <= 0) {
        dialogs.inform(noFolderMessage(), messageTitle());
        return outcome;
    }
    const bool copying = request.mode != ToolMode::FoldersOnly && request.copy;
    if (copying) {
        outcome.copyFolder = copyFolderOf(request.toolFolder);
        if (outcome.copyFolder.isEmpty()) {
            outcome.result = ToolRunOutcome::Result::Refused;
            dialogs.warn(u"所选文件夹是根目录，没有上级文件夹可以存放复制的文件，请选择其他文件夹！"_s,
                         messageTitle());
            return outcome;
        }
    }
    if (!dialogs.confirm(runQuestion(request.mode, request.copy))) {
        outcome.result = ToolRunOutcome::Result::Declined;
        return outcome;
    }
    outcome.result = ToolRunOutcome::Result::Done;
    QString title;
    if (request.mode == ToolMode::FoldersOnly) {
        renameFolders(request, outcome);
        outcome.closingMessage = u"文件夹已全部按要求重命名！"_s;
        title = messageTitle();
    } else if (copying) {
        copyFiles(request, outcome);
        outcome.closingMessage = u"文件已全部按要求复制到：\r\n"_s + outcome.copyFolder;
    } else {
        renameFiles(request, outcome);
        outcome.closingMessage = u"文件已全部按要求重命名！"_s;
    }
    if (outcome.skipped > 0)
        outcome.closingMessage += u"\r\n其中 "_s + QString::number(outcome.skipped) +
                                  u" 项未能完成（新名称已存在、无效或原文件不存在），已跳过。"_s;
    if (request.mode == ToolMode::FoldersOnly && !outcome.recorded && outcome.done > 0)
        outcome.closingMessage +=
            u"\r\n重命名记录未能写入："_s + outcome.undoLogPath + u"，这些重命名不能撤消。"_s;
    dialogs.plain(outcome.closingMessage, title);
    return outcome;
}

} // namespace Folders
