#include "UndoLogWriter.h"

#include "platform/FileSystem.h"
#include "platform/GbkText.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Execute {

namespace {

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

} // namespace

UndoLogWriter::~UndoLogWriter()
{
    close();
}

bool UndoLogWriter::open(const QString& path, UndoLogEncoding wanted)
{
    close();
    m_path = path;
    m_failed = true;
    const QByteArray native = QFile::encodeName(path);
    // A document replaced or removed by an undo while we waited for the lock is
    // opened again, so nothing is appended to a file that is no longer there.
    for (int attempt = 0; attempt < 8; ++attempt) {
        int fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        bool created = fd >= 0;
        if (fd < 0 && errno == EEXIST)
            fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd < 0)
            return false;
        int locked;
        do
            locked = ::flock(fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        struct stat opened;
        struct stat named;
        if (::fstat(fd, &opened) != 0) {
            ::close(fd);
            return false;
        }
        if (::stat(native.constData(), &named) != 0 || named.st_ino != opened.st_ino ||
            named.st_dev != opened.st_dev) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
        m_size = opened.st_size;
        m_created = created;
        m_failed = false;
        m_encoding = wanted;
        if (m_size == 0) {
            if (wanted == UndoLogEncoding::Utf8 && !writeAll(QByteArray(Utf8ByteOrderMark))) {
                close();
                return false;
            }
            return true;
        }
        QFile existing(path);
        if (!existing.open(QIODevice::ReadOnly)) {
            close();
            return false;
        }
        const QByteArray bytes = existing.readAll();
        if (bytes.startsWith(Utf8ByteOrderMark)) {
            m_encoding = UndoLogEncoding::Utf8;
            return true;
        }
        if (wanted == UndoLogEncoding::Gbk)
            return true;
        // A GBK document that must take entries GBK cannot hold becomes UTF-8
        // as a whole. The rewrite replaces the file, so it is opened again;
        // writers waiting for the lock see the new file the same way.
        const bool rewritten = Platform::writeFileAtomically(
            path, QByteArray(Utf8ByteOrderMark) + Platform::decodeGbk(bytes).toUtf8());
        ::close(m_fd);
        m_fd = -1;
        m_created = false;
        if (!rewritten) {
            m_failed = true;
            return false;
        }
    }
    return false;
}

bool UndoLogWriter::writeAll(const QByteArray& bytes)
{
    ssize_t written;
    do
        written = ::write(m_fd, bytes.constData(), size_t(bytes.size()));
    while (written < 0 && errno == EINTR);
    if (written != bytes.size()) {
        if (written > 0 && ::ftruncate(m_fd, m_size) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        m_failed = true;
        return false;
    }
    m_size += bytes.size();
    return true;
}

bool UndoLogWriter::append(const QByteArray& entry)
{
    m_lastStart = -1;
    if (m_fd < 0)
        return false;
    const qint64 start = m_size;
    if (!writeAll(entry))
        return false;
    m_lastStart = start;
    return true;
}

void UndoLogWriter::retract()
{
    if (m_fd < 0 || m_lastStart < 0)
        return;
    if (::ftruncate(m_fd, m_lastStart) == 0) {
        m_size = m_lastStart;
    } else {
        ::close(m_fd);
        m_fd = -1;
        m_failed = true;
    }
    m_lastStart = -1;
}

bool UndoLogWriter::close()
{
    if (m_fd < 0)
        return !m_failed && !m_path.isEmpty();
    bool good = ::fsync(m_fd) == 0;
    if (m_created) {
        // The new document's name must be as durable as its content.
        const int dir =
            ::open(QFile::encodeName(folderOf(m_path)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    good = ::close(m_fd) == 0 && good; // closing also drops the lock
    m_fd = -1;
    m_created = false;
    if (!good)
        m_failed = true;
    return !m_failed;
}

} // namespace Execute
