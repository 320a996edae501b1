#include "UndoRename.h"

#include "UndoLog.h"
#include "UndoLogDocument.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace Execute {

namespace {

// The document held open and locked while the undo plays it back, so an
// execution appending to it (a second run within the same second) waits and
// then finds it replaced or removed.
class LockedDocument
{
public:
    explicit LockedDocument(const QString& path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0)
            return;
        int locked;
        do
            locked = ::flock(m_fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
    }
    ~LockedDocument()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    LockedDocument(const LockedDocument&) = delete;
    LockedDocument& operator=(const LockedDocument&) = delete;

    bool read(QByteArray* bytes) const
    {
        if (m_fd < 0)
            return false;
        bytes->clear();
        char buffer[65536];
        qint64 offset = 0;
        for (;;) {
            const ssize_t got = ::pread(m_fd, buffer, sizeof buffer, offset);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                return true;
            bytes->append(buffer, got);
            offset += got;
        }
    }

private:
    int m_fd = -1;
};

void unreadable(Platform::Dialogs& dialogs, const QString& path)
{
    dialogs.warn(path + u"\r\n"_s + u"无法读取此文档，没有撤消任何文件重命名！"_s);
}

} // namespace

QString undoQuestion(const QString& folderText)
{
    return u"要撤消以下文件夹中所有文件重命名吗？"_s + u"\r\n"_s + folderText;
}

UndoOutcome UndoRename(Platform::Dialogs& dialogs, const QString& undoFolder)
{
    UndoOutcome outcome;
    Platform::FileDialogRequest pick;
    pick.filter = u"文本文档(*.txt)|*.txt"_s;
    pick.initialFolder = undoFolder;
    outcome.documentPath = dialogs.openFile(pick);
    if (outcome.documentPath.isEmpty()) {
        outcome.result = UndoOutcome::Result::Cancelled;
        return outcome;
    }
    const QString path = outcome.documentPath;

    QByteArray bytes;
    {
        const LockedDocument shown(path);
        if (!shown.read(&bytes)) {
            unreadable(dialogs, path);
            outcome.result = UndoOutcome::Result::Unreadable;
            return outcome;
        }
    }
    if (!dialogs.confirm(undoQuestion(UndoLogDocument::parse(bytes).folderText()))) {
        outcome.result = UndoOutcome::Result::Declined;
        outcome.undoFolderHasFiles = UndoFolderHasFiles(undoFolder);
        return outcome;
    }

    QString lastMissing;
    {
        // Read again under the lock: the document may have grown meanwhile.
        const LockedDocument locked(path);
        if (!locked.read(&bytes)) {
            unreadable(dialogs, path);
            outcome.result = UndoOutcome::Result::Unreadable;
            return outcome;
        }
        outcome.result = UndoOutcome::Result::Done;
        const UndoLogDocument document = UndoLogDocument::parse(bytes);
        const QList<UndoEntry>& entries = document.entries();
        QList<bool> undone(entries.size(), false);
        qsizetype lastMissingIndex = -1;
        for (qsizetype k = entries.size() - 1; k >= 0; --k) {
            const UndoEntry& entry = entries.at(k);
            const QString problem = UndoLogDocument::entryProblem(entry);
            const bool pathValid = entry.currentPath.startsWith(u'/') && entry.oldPath.startsWith(u'/');
            if (!pathValid || !Platform::PathExists(entry.currentPath)) {
                ++outcome.missing;
                if (k > lastMissingIndex) {
                    lastMissingIndex = k;
                    lastMissing = entry.currentPath;
                }
                continue;
            }
            if (problem.isEmpty() && Platform::renameNoReplace(entry.currentPath, entry.oldPath) ==
                                         Platform::RenameResult::Renamed) {
                undone[k] = true;
                ++outcome.undone;
            } else {
                ++outcome.refused;
            }
        }

        if (entries.isEmpty() ? document.isBlank() : outcome.undone == entries.size()) {
            outcome.fate = UndoOutcome::DocumentFate::Deleted;
            outcome.documentUpdated = Platform::removeFile(path);
        } else if (outcome.undone > 0) {
            QList<UndoEntry> kept;
            for (qsizetype k = 0; k < entries.size(); ++k)
                if (!undone.at(k))
                    kept.append(entries.at(k));
            outcome.fate = UndoOutcome::DocumentFate::Rewritten;
            outcome.documentUpdated = Platform::writeFileAtomically(path, UndoLogDocument::serialize(kept, document.isUtf8()));
        }
    }

    if (outcome.missing > 0)
        dialogs.plain(lastMissing + u"\r\n"_s + u"等"_s + QString::number(outcome.missing) +
                      u"文件不存在,不能撤消重命名!"_s);
    if (outcome.undone > 0)
        dialogs.plain(QString::number(outcome.undone) + u" 个文件按要求撤消重命名！"_s);
    outcome.undoFolderHasFiles = UndoFolderHasFiles(undoFolder);
    return outcome;
}

} // namespace Execute
