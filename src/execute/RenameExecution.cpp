#include "RenameExecution.h"

#include "UndoLog.h"
#include "UndoLogWriter.h"

#include "platform/Dialogs.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/SystemClock.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace Execute {

namespace {

// GBK conversion kept open for the whole run: opening a converter per name
// would cost more than the rename itself.
class GbkConverter
{
public:
    // The GBK bytes of `text`, or nothing when GBK cannot hold it exactly.
    std::optional<QByteArray> encode(const QString& text)
    {
        // ASCII is itself in GBK; most camera and download names are ASCII.
        if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
            return text.toLatin1();
        QByteArray bytes = m_encoder.encode(text);
        if (!m_encoder.hasError() && m_decoder.decode(bytes) == text && !m_decoder.hasError())
            return bytes;
        // A converter keeps its error once it has one: start afresh.
        m_encoder = QStringEncoder("GBK", QStringConverter::Flag::Stateless);
        m_decoder = QStringDecoder("GBK", QStringConverter::Flag::Stateless);
        return std::nullopt;
    }

private:
    QStringEncoder m_encoder{"GBK", QStringConverter::Flag::Stateless};
    QStringDecoder m_decoder{"GBK", QStringConverter::Flag::Stateless};
};

// A name on disk that is not valid UTF-8 reaches us with U+FFFD in place of
// its odd bytes; renaming by that text would miss the file or, worse, write
// the replacement character into the new name. Such rows are refused.
QString undecodableNameProblem(const QString& folder, const QString& oldName)
{
    if (!oldName.contains(QChar(0xFFFD)) || QFileInfo::exists(folder + oldName))
        return {};
    return u"文件名含有无效的 UTF-8 字节，无法安全地重命名"_s;
}

} // namespace

QString plainNameProblem(const QString& name)
{
    if (name.isEmpty())
        return u"文件名为空"_s;
    if (name == u"."_s || name == u".."_s)
        return u"文件名不能为 . 或 .."_s;
    if (name.contains(u'/'))
        return u"文件名不能含有 /"_s;
    if (name.contains(QChar(0)))
        return u"文件名含有空字符"_s;
    return {};
}

namespace {

bool hasLineBreak(const QString& name)
{
    return name.contains(u'\r') || name.contains(u'\n');
}

} // namespace

QString renameQuestion()
{
    return u"是否重命名这些文件?"_s;
}

bool ConfirmRename(Platform::Dialogs& dialogs)
{
    return dialogs.confirm(renameQuestion());
}

QString optionText(RowStatus status)
{
    return status == RowStatus::Renamed ? u"操作成功"_s : u"操作失败"_s;
}

QString attributesSetText()
{
    return u"成功设置"_s;
}

RenameOutcome ExecuteRename(const RenameRequest& request)
{
    RenameOutcome outcome;
    const qsizetype rows = request.oldNames.size();
    outcome.options.reserve(rows);
    outcome.statuses.reserve(rows);
    outcome.reasons.reserve(rows);

    QString folder = request.folder;
    if (!folder.endsWith(u'/'))
        folder += u'/';

    const Platform::SystemClock systemClock;
    const Platform::Clock& clock = request.clock ? *request.clock : systemClock;
    outcome.undoLogPath = request.undoFolder + u'/' +
                          UndoLogName(request.requestedAt.isValid() ? request.requestedAt : clock.now());

    GbkConverter gbk;
    QString folderProblem;
    if (!folder.startsWith(u'/') || folder.contains(QChar(0))) {
        folderProblem = u"文件夹路径无效"_s;
    } else if (const QString reason = unrecordableReason(folder, false); !reason.isEmpty()) {
        folderProblem = reason;
    }

    // The record stays GBK unless a path of this run needs more than GBK holds.
    UndoLogEncoding wanted = gbk.encode(folder) ? UndoLogEncoding::Gbk : UndoLogEncoding::Utf8;
    for (qsizetype i = 0; i < rows && wanted == UndoLogEncoding::Gbk; ++i) {
        if (!undecodableNameProblem(folder, request.oldNames.at(i)).isEmpty())
            continue; // refused below; it must not change the record's encoding
        if (!gbk.encode(request.oldNames.at(i)) ||
            (i < request.newNames.size() && !gbk.encode(request.newNames.at(i))))
            wanted = UndoLogEncoding::Utf8;
    }

    auto warn = [&](const QString& text) {
        outcome.warnings.append(text);
        if (request.warn)
            request.warn(text);
    };

    UndoLogWriter log;
    // Without an undo folder there is nowhere to record (never the root folder).
    bool recorded = !request.undoFolder.isEmpty() && log.open(outcome.undoLogPath, wanted);
    if (!request.undoFolder.isEmpty() && !recorded)
        warn(u"无法创建重命名记录文档 "_s + outcome.undoLogPath + u"（"_s + log.errorText() +
             u"），重命名将照常进行，但不能撤消。"_s);
    const UndoLogEncoding encoding = log.isOpen() ? log.encoding() : wanted;
    auto encode = [&](const QString& text) -> std::optional<QByteArray> {
        if (encoding == UndoLogEncoding::Utf8)
            return text.toUtf8();
        return gbk.encode(text);
    };
    QByteArray folderBytes;
    if (folderProblem.isEmpty()) {
        if (const auto bytes = encode(folder))
            folderBytes = *bytes;
        else
            folderProblem = u"文件夹路径含有GBK编码不能表示的字符"_s;
    }
    // Every entry of the run, so that a document removed or replaced mid-run
    // can be written anew.
    QByteArray entries;
    int sinceCheck = 0;
    const QString firstPath = outcome.undoLogPath;
    // Writes `entries` to a new document when the one in use is gone; false
    // when that cannot be done either.
    auto keepRecordInPlace = [&]() {
        // A document the writer gave up on (a failed write) stays where it is:
        // the next append fails and stops the run.
        if (!log.isOpen() || log.isInPlace())
            return true;
        log.close();
        const QString base = firstPath.left(firstPath.size() - 4); // without ".txt"
        QString path = firstPath;
        for (int n = 2; !log.create(path, encoding) && n < 100; ++n)
            path = base + u" ("_s + QString::number(n) + u").txt"_s;
        if (!log.isOpen() || (!entries.isEmpty() && !log.append(entries)))
            return false;
        warn(u"重命名记录文档 "_s + outcome.undoLogPath + u" 在运行中被删除或替换，已把本次全部 "_s +
             QString::number(outcome.renamed) + u" 条记录重新写入 "_s + path + u"。"_s);
        outcome.undoLogPath = path;
        return true;
    };
    // The folder is resolved once; each rename then names only the two entries.
    const int folderFd = folderProblem.isEmpty()
                             ? ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC)
                             : -1;
    const auto closeFolder = qScopeGuard([folderFd] {
        if (folderFd >= 0)
            ::close(folderFd);
    });

    for (qsizetype i = 0; i < rows; ++i) {
        const QString& oldName = request.oldNames.at(i);
        const QString newName = i < request.newNames.size() ? request.newNames.at(i) : QString();
        RowStatus status = RowStatus::Renamed;
        QString reason;

        QByteArray oldBytes;
        QByteArray newBytes;
        if (!folderProblem.isEmpty()) {
            status = folder.startsWith(u'/') ? RowStatus::NotRecordable : RowStatus::InvalidName;
            reason = folderProblem;
        } else if (reason = plainNameProblem(oldName); !reason.isEmpty()) {
            status = RowStatus::InvalidName;
        } else if (reason = plainNameProblem(newName); !reason.isEmpty()) {
            status = RowStatus::InvalidName;
            reason = u"新"_s + reason;
        } else if (newName == oldName) {
            status = RowStatus::TargetExists;
            reason = u"新文件名与原文件名相同"_s;
        } else if (hasLineBreak(oldName) || hasLineBreak(newName)) {
            status = RowStatus::NotRecordable;
            reason = u"名称含有换行符"_s;
        } else if (newName.endsWith(u' ')) {
            // The record's reader trims its lines, so the name could not be read back.
            status = RowStatus::NotRecordable;
            reason = u"新文件名以空格结尾"_s;
        } else if (const QString problem = undecodableNameProblem(folder, oldName); !problem.isEmpty()) {
            status = RowStatus::InvalidName;
            reason = problem;
        } else {
            const auto encodedOld = encode(oldName);
            const auto encodedNew = encode(newName);
            if (!encodedOld || !encodedNew) {
                status = RowStatus::NotRecordable;
                reason = u"名称含有GBK编码不能表示的字符"_s;
            } else {
                oldBytes = *encodedOld;
                newBytes = *encodedNew;
            }
        }

        if (!outcome.stopReason.isEmpty()) {
            status = RowStatus::Stopped;
            reason = u"运行已停止："_s + outcome.stopReason;
        }

        if (status == RowStatus::Renamed && recorded && ++sinceCheck >= 256) {
            sinceCheck = 0;
            if (!keepRecordInPlace()) {
                outcome.stopReason = u"重命名记录文档被删除，且无法重新写入（"_s + log.errorText() + u"）"_s;
                status = RowStatus::Stopped;
                reason = outcome.stopReason;
            }
        }

        // The entry goes first, so that no completed rename is ever missing from
        // the record; it is taken back when the rename does not happen. A rename
        // whose entry cannot be written does not happen: the run stops.
        const qsizetype entryStart = entries.size();
        if (status == RowStatus::Renamed && recorded) {
            const QByteArray entry = encodedUndoEntry(folderBytes, newBytes, oldBytes);
            if (log.append(entry)) {
                entries += entry;
            } else {
                outcome.stopReason = u"重命名记录无法写入（"_s + log.errorText() + u"）"_s;
                status = RowStatus::Stopped;
                reason = outcome.stopReason;
            }
        }

        if (status == RowStatus::Renamed) {
            QString error;
            const Platform::RenameResult result =
                folderFd >= 0 ? Platform::renameNoReplaceAt(folderFd, QFile::encodeName(oldName),
                                                            QFile::encodeName(newName), &error)
                              : Platform::renameNoReplace(folder + oldName, folder + newName, &error);
            switch (result) {
            case Platform::RenameResult::Renamed:
                ++outcome.renamed;
                break;
            case Platform::RenameResult::TargetExists:
                status = RowStatus::TargetExists;
                reason = u"新文件名已存在"_s;
                break;
            case Platform::RenameResult::SourceMissing:
                status = RowStatus::SourceMissing;
                reason = u"文件不存在"_s;
                break;
            case Platform::RenameResult::Failed:
                status = RowStatus::Refused;
                reason = error;
                break;
            }
            if (status != RowStatus::Renamed && recorded) {
                log.retract();
                entries.truncate(entryStart);
            }
        }

        outcome.options.append(optionText(status));
        outcome.statuses.append(status);
        outcome.reasons.append(reason);
        if (request.progress)
            request.progress(i + 1, rows);
    }

    if (recorded && outcome.stopReason.isEmpty() && !keepRecordInPlace()) {
        recorded = false;
        warn(u"重命名记录文档 "_s + outcome.undoLogPath + u" 在运行中被删除，且无法重新写入（"_s +
             log.errorText() + u"），本次重命名不能撤消。"_s);
    }
    if (!log.close())
        recorded = false;
    outcome.recorded = recorded && outcome.stopReason.isEmpty();
    return outcome;
}

QStringList ApplyAttributes(const QString& folder, const QStringList& names, int attributeMask)
{
    QString base = folder;
    if (!base.endsWith(u'/'))
        base += u'/';
    QStringList options;
    options.reserve(names.size());
    for (const QString& name : names) {
        const bool set =
            plainNameProblem(name).isEmpty() && Platform::writeAttributes(base + name, attributeMask);
        options.append(set ? attributesSetText() : optionText(RowStatus::Refused));
    }
    return options;
}

QStringList RefreshOldNames(const QStringList& listing, const QStringList& previousOldNames)
{
    QStringList names;
    names.reserve(previousOldNames.size());
    for (qsizetype i = 0; i < previousOldNames.size(); ++i)
        names.append(i < listing.size() ? listing.at(i) : QString());
    return names;
}

} // namespace Execute
