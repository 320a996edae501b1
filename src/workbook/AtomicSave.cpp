#include "AtomicSave.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace Xl {

bool saveAtomically(const QString& requested, const QByteArray& data, SaveFault fault, WorkbookError* error)
{
    // Through a symbolic link the file it names is replaced, and the link stays.
    QString path = requested;
    for (int hops = 0; hops < 16 && QFileInfo(path).isSymLink(); ++hops)
        path = QFileInfo(path).symLinkTarget();
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    QTemporaryFile temp(folder + u"/."_s + info.fileName() + u".tarnwick-XXXXXX"_s);
    temp.setAutoRemove(true);
    if (!temp.open())
        return fail(error, WorkbookError::Code::WriteFailed, u"%1: %2"_s.arg(folder, temp.errorString()));

    auto failed = [&](const QString& why) {
        temp.close();
        temp.remove();
        return fail(error, WorkbookError::Code::WriteFailed, u"%1: %2"_s.arg(path, why));
    };

    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = temp.write(data.constData() + done, data.size() - done);
        if (n <= 0)
            return failed(temp.errorString());
        done += n;
    }
    if (fault == SaveFault::Write)
        return failed(u"simulated write failure"_s);
    if (!temp.flush())
        return failed(temp.errorString());
#ifdef Q_OS_UNIX
    if (::fsync(temp.handle()) != 0)
        return failed(Platform::errnoText(errno));
#endif
    if (fault == SaveFault::Sync)
        return failed(u"simulated flush failure"_s);

    // A replaced file keeps its permissions; a new one gets the usual ones.
    if (info.exists())
        temp.setPermissions(QFile(path).permissions());
    else
        temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (fault == SaveFault::Rename)
        return failed(u"simulated rename failure"_s);
    const QString tempName = temp.fileName();
    temp.close();
#ifdef Q_OS_UNIX
    if (::rename(QFile::encodeName(tempName).constData(), QFile::encodeName(path).constData()) != 0) {
        const int e = errno;
        QFile::remove(tempName);
        return fail(error, WorkbookError::Code::WriteFailed, u"%1: %2"_s.arg(path, Platform::errnoText(e)));
    }
    temp.setAutoRemove(false);
    // The rename itself is made durable with the folder.
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
#else
    if (QFile::exists(path) && !QFile::remove(path)) {
        QFile::remove(tempName);
        return fail(error, WorkbookError::Code::WriteFailed, path);
    }
    if (!QFile::rename(tempName, path)) {
        QFile::remove(tempName);
        return fail(error, WorkbookError::Code::WriteFailed, path);
    }
    temp.setAutoRemove(false);
#endif
    return true;
}

} // namespace Xl
