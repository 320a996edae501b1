#include "BlankLines.h"

#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace TextFiles {

namespace {

constexpr qsizetype chunkSize = 1 << 20;

// How the units of a text are read and written.
struct Bytes
{
    static constexpr int size = 1;
    static char16_t at(const char* p) { return uchar(*p); }
    static void put(QByteArray& out, char16_t u) { out.append(char(u)); }
};
struct Utf16Le
{
    static constexpr int size = 2;
    static char16_t at(const char* p) { return char16_t(uchar(p[0]) | uchar(p[1]) << 8); }
    static void put(QByteArray& out, char16_t u)
    {
        out.append(char(u & 0xff));
        out.append(char(u >> 8));
    }
};
struct Utf16Be
{
    static constexpr int size = 2;
    static char16_t at(const char* p) { return char16_t(uchar(p[0]) << 8 | uchar(p[1])); }
    static void put(QByteArray& out, char16_t u)
    {
        out.append(char(u >> 8));
        out.append(char(u & 0xff));
    }
};

enum class Encoding
{
    Bytes,
    Utf16Le,
    Utf16Be
};

// The line filter, fed in pieces of any size. A line's leading spaces are only
// counted until something else shows up, and the rest of a line goes straight
// to the output, so memory stays bounded even for a file without line ends.
class LineFilter
{
public:
    qint64 removed = 0;

    // Appends the cleaned form of `data` (after the byte order mark) to `out`.
    void feed(const char* data, qsizetype length, QByteArray& out)
    {
        switch (m_encoding) {
        case Encoding::Bytes:
            run<Bytes>(data, length, out);
            break;
        case Encoding::Utf16Le:
            run<Utf16Le>(data, length, out);
            break;
        case Encoding::Utf16Be:
            run<Utf16Be>(data, length, out);
            break;
        }
    }

    void finish(QByteArray& out)
    {
        switch (m_encoding) {
        case Encoding::Bytes:
            end<Bytes>(out);
            break;
        case Encoding::Utf16Le:
            end<Utf16Le>(out);
            break;
        case Encoding::Utf16Be:
            end<Utf16Be>(out);
            break;
        }
    }

    // Reads the byte order mark from the start of the text (at least three
    // bytes unless the text is shorter), copies it to `out` and returns its length.
    qsizetype start(const char* data, qsizetype length, QByteArray& out)
    {
        const auto b = [&](qsizetype i) { return i < length ? uchar(data[i]) : -1; };
        if (b(0) == 0xFF && b(1) == 0xFE) {
            m_encoding = Encoding::Utf16Le;
        } else if (b(0) == 0xFE && b(1) == 0xFF) {
            m_encoding = Encoding::Utf16Be;
        } else if (b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
            out.append(data, 3);
            return 3;
        } else {
            return 0;
        }
        out.append(data, 2);
        return 2;
    }

private:
    template <typename U> void run(const char* data, qsizetype length, QByteArray& out)
    {
        // A unit split between two pieces waits for its second byte.
        if (U::size == 2 && !m_odd.isEmpty()) {
            if (length == 0)
                return;
            m_odd.append(data[0]);
            const QByteArray unit = m_odd;
            m_odd.clear();
            scan<U>(unit.constData(), 1, out);
            ++data;
            --length;
        }
        const qsizetype units = length / U::size;
        scan<U>(data, units, out);
        if (U::size == 2 && length % 2)
            m_odd = QByteArray(data + length - 1, 1);
    }

    template <typename U> void scan(const char* p, qsizetype n, QByteArray& out)
    {
        qsizetype i = 0;
        while (i < n) {
            if (m_afterCr) {
                m_afterCr = false;
                if (U::at(p + i * U::size) == u'\n') {
                    ++i;
                    continue;
                }
            }
            if (!m_inContent) {
                while (i < n && U::at(p + i * U::size) == u' ') {
                    ++m_spaces;
                    ++i;
                }
                if (i == n)
                    break;
                const char16_t c = U::at(p + i * U::size);
                if (c == u'\r' || c == u'\n') {
                    ++removed;
                    m_spaces = 0;
                    m_afterCr = c == u'\r';
                    ++i;
                    continue;
                }
                m_inContent = true;
                for (; m_spaces > 0; --m_spaces)
                    U::put(out, u' ');
            }
            qsizetype j = i;
            while (j < n) {
                const char16_t c = U::at(p + j * U::size);
                if (c == u'\r' || c == u'\n')
                    break;
                ++j;
            }
            out.append(p + i * U::size, (j - i) * U::size);
            if (j == n)
                break;
            U::put(out, u'\r');
            U::put(out, u'\n');
            m_inContent = false;
            m_afterCr = U::at(p + j * U::size) == u'\r';
            i = j + 1;
        }
    }

    template <typename U> void end(QByteArray& out)
    {
        if (m_inContent) {
            U::put(out, u'\r');
            U::put(out, u'\n');
        } else if (m_spaces > 0) {
            ++removed;
        }
        // A trailing odd byte of a UTF-16 text is not a unit: it is kept as it
        // was, at the very end, so the line ends before it stay aligned and a
        // second cleaning changes nothing.
        out.append(m_odd);
        m_odd.clear();
        m_spaces = 0;
        m_inContent = false;
    }

    Encoding m_encoding = Encoding::Bytes;
    QByteArray m_odd;
    qint64 m_spaces = 0;
    bool m_inContent = false;
    bool m_afterCr = false;
};

QString nativeError()
{
    return Platform::errnoText(errno);
}

// The n-th backup name of `name` in `folder`: "_name.ext", then "_name (2).ext", ...
QString backupCandidate(const QString& folder, const QString& name, int n)
{
    if (n == 1)
        return folder + u'_' + name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    return folder + u'_' + base + u" ("_s + QString::number(n) + u')' + ext;
}

// Makes the backup at the first free name: a hard link where the file system
// allows one, otherwise a copy; an existing name is never replaced.
QString makeBackup(const QString& filePath, QString* error)
{
    const QFileInfo info(filePath);
    const QString folder = info.absolutePath() + u'/';
    const QString name = info.fileName();
    const QByteArray source = QFile::encodeName(filePath);
    for (int n = 1; n < 100000; ++n) {
        const QString candidate = backupCandidate(folder, name, n);
        const QByteArray target = QFile::encodeName(candidate);
        // Through a symbolic link the backup must hold the content, not the link.
        if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0)
            return candidate;
        if (errno == EEXIST)
            continue;
        if (errno != EPERM && errno != EXDEV && errno != ENOTSUP && errno != EMLINK && errno != ENOSYS) {
            *error = nativeError();
            return {};
        }
        // No links here: a copy that refuses to replace anything.
        if (Platform::PathExists(candidate))
            continue;
        if (Platform::copyFile(filePath, candidate, false, error))
            return candidate;
        if (Platform::PathExists(candidate))
            continue;
        return {};
    }
    *error = u"没有可用的备份文件名"_s;
    return {};
}

} // namespace

QByteArray cleanBlankLines(const QByteArray& text, qint64* removed)
{
    LineFilter filter;
    QByteArray out;
    out.reserve(text.size() + 2);
    const qsizetype bom = filter.start(text.constData(), text.size(), out);
    filter.feed(text.constData() + bom, text.size() - bom, out);
    filter.finish(out);
    if (removed)
        *removed = filter.removed;
    return out;
}

BlankLineResult RemoveBlankLines(const QString& filePath, BackupPolicy policy)
{
    BlankLineResult result;
    QFile source(filePath);
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(filePath).constData(), &st) != 0) {
        result.error = nativeError();
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = u"不是普通文件"_s;
        return result;
    }
    if (!source.open(QIODevice::ReadOnly)) {
        result.error = source.errorString();
        return result;
    }

    const QString backup = makeBackup(filePath, &result.error);
    if (backup.isEmpty()) {
        if (result.error.isEmpty())
            result.error = u"无法建立备份"_s;
        return result;
    }
    auto dropBackup = [&] { ::unlink(QFile::encodeName(backup).constData()); };

    QSaveFile target(filePath);
    target.setDirectWriteFallback(false);
    if (!target.open(QIODevice::WriteOnly)) {
        result.error = target.errorString();
        dropBackup();
        return result;
    }
    LineFilter filter;
    QByteArray out;
    out.reserve(chunkSize + chunkSize / 2);
    QByteArray head;
    bool started = false;
    bool good = true;
    while (good) {
        QByteArray chunk = source.read(chunkSize);
        if (chunk.isEmpty() && !source.atEnd()) {
            result.error = source.errorString();
            good = false;
            break;
        }
        const bool last = chunk.isEmpty();
        if (!started) {
            head += chunk;
            if (head.size() < 3 && !last)
                continue;
            const qsizetype bom = filter.start(head.constData(), head.size(), out);
            filter.feed(head.constData() + bom, head.size() - bom, out);
            head.clear();
            started = true;
        } else {
            filter.feed(chunk.constData(), chunk.size(), out);
        }
        if (last)
            filter.finish(out);
        if (out.size() >= chunkSize || last) {
            if (target.write(out) != out.size()) {
                result.error = target.errorString();
                good = false;
            }
            out.clear();
        }
        if (last)
            break;
    }
    // The cleaned file keeps the original's permissions.
    if (good && ::fchmod(target.handle(), st.st_mode & 07777) != 0) {
        result.error = nativeError();
        good = false;
    }
    if (!good) {
        target.cancelWriting();
        target.commit();
        dropBackup();
        return result;
    }
    if (!target.commit()) {
        result.error = target.errorString();
        dropBackup();
        return result;
    }
    result.cleaned = true;
    result.removed = filter.removed;
    result.backupPath = backup;
    result.backupKept = true;
    bool remove = policy == BackupPolicy::Delete;
    if (policy == BackupPolicy::DeleteUnlessReadOnly) {
        const int attributes = Platform::readAttributes(backup);
        remove = attributes >= 0 && !(attributes & Platform::AttrReadOnly);
    }
    if (remove && ::unlink(QFile::encodeName(backup).constData()) == 0) {
        result.backupKept = false;
        result.backupPath.clear();
    }
    return result;
}

} // namespace TextFiles
