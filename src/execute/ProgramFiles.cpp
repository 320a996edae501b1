#include "ProgramFiles.h"

#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace Execute {

namespace {

const QString kResourceFolder = u":/tarnwick/program/"_s;

// Writes `content` under a temporary name in `folder`, flushed to disk, then
// moves it to `name` without replacing. Returns an empty text on success, "exists"
// when the name was taken meanwhile, else the reason.
QString putBack(const QString& folder, const QString& name, const QByteArray& content, bool* taken)
{
    *taken = false;
    QTemporaryFile temporary(folder + u"/."_s + name + u".XXXXXX"_s);
    if (!temporary.open())
        return temporary.errorString();
    if (temporary.write(content) != content.size() || !temporary.flush() || ::fsync(temporary.handle()) != 0)
        return temporary.errorString();
    temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                             QFileDevice::ReadOther);
    QString error;
    switch (Platform::renameNoReplace(temporary.fileName(), folder + u'/' + name, &error)) {
    case Platform::RenameResult::Renamed:
        temporary.setAutoRemove(false);
        return {};
    case Platform::RenameResult::TargetExists:
        *taken = true;
        return {};
    default:
        return error;
    }
}

} // namespace

QString characterTableName()
{
    return u"HanZi.txt"_s;
}

QString helpFileName()
{
    return u"FileHelp.html"_s;
}

QStringList shippedFileNames()
{
    return {characterTableName(), helpFileName()};
}

QByteArray shippedFileContent(const QString& name)
{
    if (!shippedFileNames().contains(name))
        return {};
    QFile resource(kResourceFolder + name);
    return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
}

RestoreReport RestoreProgramFiles(const Platform::AppPaths& paths)
{
    RestoreReport report;
    const QString folder = paths.dataFolder();
    auto fail = [&report](const QString& name, const QString& reason) {
        report.failed.append(name);
        report.reasons.append(reason);
    };

    const bool folderReady = QDir().mkpath(folder);
    for (const QString& name : shippedFileNames()) {
        if (Platform::PathExists(paths.programFile(name)))
            continue;
        const QByteArray content = shippedFileContent(name);
        if (content.isEmpty()) {
            fail(name, u"程序中没有此文件的副本"_s);
            continue;
        }
        if (!folderReady) {
            fail(name, u"无法创建文件夹 "_s + folder);
            continue;
        }
        bool taken = false;
        const QString error = putBack(folder, name, content, &taken);
        if (!error.isEmpty())
            fail(name, error);
        else if (!taken)
            report.restored.append(name);
    }

    const QString undoFolder = paths.undoFolder();
    if (!Platform::PathExists(undoFolder)) {
        if (folderReady && Platform::makeFolder(undoFolder))
            report.restored.append(QDir(undoFolder).dirName());
        else
            fail(QDir(undoFolder).dirName(), u"无法创建文件夹 "_s + undoFolder);
    }
    return report;
}

RestoreReport RepairComponents(Platform::Dialogs& dialogs, const Platform::AppPaths& paths)
{
    const RestoreReport report = RestoreProgramFiles(paths);
    if (report.count() > 0)
        dialogs.inform(u"控件错误修复成功！"_s);
    else if (report.failed.isEmpty())
        dialogs.inform(u"没有控件错误，"_s + u"\r\n"_s + u"不需任何修复！"_s);
    if (!report.failed.isEmpty()) {
        QString text = u"以下文件无法修复："_s;
        for (qsizetype i = 0; i < report.failed.size(); ++i)
            text += u"\r\n"_s + report.failed.at(i) + u"（"_s + report.reasons.at(i) + u"）"_s;
        dialogs.warn(text);
    }
    return report;
}

} // namespace Execute
