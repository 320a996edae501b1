#include "FileSystem.h"

#include "FileAttributes.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace Platform {

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// Case-insensitive glob with "*" and "?", iterative with one back-track point.
bool globMatch(const QString& name, const QString& pattern)
{
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    const qsizetype nl = name.size(), pl = pattern.size();
    while (n < nl) {
        if (p < pl && pattern.at(p) == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pl &&
                   (pattern.at(p) == u'?' || pattern.at(p).toCaseFolded() == name.at(n).toCaseFolded())) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pl && pattern.at(p) == u'*')
        ++p;
    return p == pl;
}

bool isDirEntryHidden(const char* name)
{
    return name[0] == '.';
}

enum class Kind
{
    File,
    Folder,
    Other
};

Kind entryKind(int dirFd, const struct dirent* entry)
{
    unsigned char type = entry->d_type;
    if (type == DT_REG)
        return Kind::File;
    if (type == DT_DIR)
        return Kind::Folder;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct stat st;
        if (fstatat(dirFd, entry->d_name, &st, 0) != 0)
            return Kind::Other;
        if (S_ISREG(st.st_mode))
            return Kind::File;
        if (S_ISDIR(st.st_mode))
            return Kind::Folder;
    }
    return Kind::Other;
}

QStringList listEntries(const QString& folder, Kind wanted, const QStringList& patterns, bool* ok)
{
    QStringList names;
    DIR* dir = opendir(native(folder).constData());
    if (ok)
        *ok = dir != nullptr;
    if (!dir)
        return names;
    const int fd = dirfd(dir);
    const QByteArray folderPrefix = native(folder) + '/';
    while (const struct dirent* entry = readdir(dir)) {
        if (isDirEntryHidden(entry->d_name))
            continue;
        if (entryKind(fd, entry) != wanted)
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (wanted == Kind::File && !matchesPatterns(name, patterns))
            continue;
        // Hidden and system files stay out of the listing, as the desktop hides them.
        if (readStoredAttributesAt(fd, entry->d_name, folderPrefix + entry->d_name) &
            (AttrHidden | AttrSystem))
            continue;
        names.append(name);
    }
    closedir(dir);
    sortNames(names);
    return names;
}

// Writes all of `size` bytes, going on after short writes; false with errno
// set when the file system refuses any of them (a full disk, a size limit).
bool writeAll(int fd, const char* data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size_t(std::min<qint64>(size - done, qint64(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// Fills a new file beside `path` through `fill`, makes it durable and renames
// it over `path`. Every step is checked (each write, the fsync, the close, the
// rename); when one fails the new file is removed, `path` keeps what it held
// and `error` says why. A symbolic link at `path` stays, the file it names is
// replaced; a replaced file keeps its permissions.
bool replaceAtomically(const QString& requested, const std::function<bool(int, QString*)>& fill,
                       QString* error)
{
    QString path = requested;
    for (int hops = 0; hops < 16 && QFileInfo(path).isSymLink(); ++hops)
        path = QFileInfo(path).symLinkTarget();
    auto failed = [&](const QString& why) {
        if (error)
            *error = path + u": "_s + why;
        return false;
    };
    const QByteArray target = native(path);
    struct stat existing;
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && ::access(target.constData(), W_OK) != 0)
        return failed(errnoText(errno));
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = slash <= 0 ? u"/"_s : path.left(slash);
    QByteArray temp = native(path.left(slash + 1) + u'.' + path.mid(slash + 1) + u".tarnwick-XXXXXX"_s);
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(errnoText(errno));
    auto abandon = [&](const QString& why) {
        ::close(fd);
        ::unlink(temp.constData());
        return failed(why);
    };
    QString why;
    if (!fill(fd, &why))
        return abandon(why);
    if (::fsync(fd) != 0)
        return abandon(errnoText(errno));
    if (::fchmod(fd, exists ? (existing.st_mode & 07777) : 0644) != 0)
        return abandon(errnoText(errno));
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(temp.constData());
        return failed(errnoText(e));
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int e = errno;
        ::unlink(temp.constData());
        return failed(errnoText(e));
    }
    // The new name is made as durable as the content.
    const int dir = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace

bool PathExists(const QString& path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    struct stat st;
    return lstat(native(path).constData(), &st) == 0;
}

QStringList splitPatterns(const QString& patterns)
{
    QStringList list;
    for (const QString& part : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            list.append(trimmed);
    }
    return list;
}

bool matchesPatterns(const QString& name, const QStringList& patterns)
{
    for (const QString& pattern : patterns) {
        if (pattern == u"*.*"_s || pattern == u"*"_s)
            return true;
        if (globMatch(name, pattern))
            return true;
    }
    return false;
}

void sortNames(QStringList& names)
{
    // Folding each name once keeps the sort of a large folder cheap.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(size_t(names.size()));
    for (QString& name : names)
        keyed.emplace_back(name.toCaseFolded(), std::move(name));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int c = QString::compare(a.first, b.first, Qt::CaseSensitive);
        return c != 0 ? c < 0 : QString::compare(a.second, b.second, Qt::CaseSensitive) < 0;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[size_t(i)].second);
}

QStringList listFiles(const QString& folder, const QString& patterns, bool* ok)
{
    return listEntries(folder, Kind::File, splitPatterns(patterns), ok);
}

QStringList listSubfolders(const QString& folder, bool* ok)
{
    return listEntries(folder, Kind::Folder, {}, ok);
}

RenameResult renameNoReplace(const QString& from, const QString& to, QString* error)
{
    if (from.contains(QChar(0)) || to.contains(QChar(0)) || to.isEmpty()) {
        if (error)
            *error = u"invalid name"_s;
        return RenameResult::Failed;
    }
    return renameNoReplaceAt(AT_FDCWD, native(from), native(to), error);
}

RenameResult renameNoReplaceAt(int dirFd, const QByteArray& from, const QByteArray& to, QString* error)
{
    if (to.isEmpty() || from.contains('\0') || to.contains('\0')) {
        if (error)
            *error = u"invalid name"_s;
        return RenameResult::Failed;
    }
    if (::renameat2(dirFd, from.constData(), dirFd, to.constData(), RENAME_NOREPLACE) == 0)
        return RenameResult::Renamed;
    int err = errno;
    if (err == EINVAL || err == ENOSYS || err == ENOTSUP) {
        // The file system cannot rename without replacing: a hard link fails when
        // the target exists, which gives the same guarantee for files.
        struct stat st;
        if (::fstatat(dirFd, from.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode)) {
            if (::linkat(dirFd, from.constData(), dirFd, to.constData(), 0) == 0) {
                if (::unlinkat(dirFd, from.constData(), 0) == 0)
                    return RenameResult::Renamed;
                err = errno;
                ::unlinkat(dirFd, to.constData(), 0);
            } else {
                err = errno;
            }
        }
    }
    if (error)
        *error = errnoText(err);
    if (err == EEXIST || err == ENOTEMPTY)
        return RenameResult::TargetExists;
    struct stat st;
    if (err == ENOENT && ::fstatat(dirFd, from.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return RenameResult::SourceMissing;
    return RenameResult::Failed;
}

bool copyFile(const QString& from, const QString& to, bool replace, QString* error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        if (error)
            *error = source.errorString();
        return false;
    }
    if (!replace) {
        const int fd = ::open(native(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (error)
                *error = errnoText(errno);
            return false;
        }
        QFile target;
        if (!target.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return false;
        }
        bool good = true;
        while (good && !source.atEnd()) {
            const QByteArray chunk = source.read(1 << 20);
            good = !chunk.isEmpty() || source.atEnd();
            good = good && target.write(chunk) == chunk.size();
        }
        good = good && target.flush() && ::fsync(fd) == 0;
        if (!good) {
            if (error)
                *error = target.errorString();
            target.close();
            ::unlink(native(to).constData());
            return false;
        }
        target.setPermissions(source.permissions());
        return true;
    }
    return replaceAtomically(
        to,
        [&source](int fd, QString* why) {
            while (!source.atEnd()) {
                const QByteArray chunk = source.read(1 << 20);
                if (chunk.isEmpty() && !source.atEnd()) {
                    *why = source.errorString();
                    return false;
                }
                if (!writeAll(fd, chunk.constData(), chunk.size())) {
                    *why = errnoText(errno);
                    return false;
                }
            }
            return true;
        },
        error);
}

bool makeFolder(const QString& path)
{
    return ::mkdir(native(path).constData(), 0755) == 0;
}

bool removeFile(const QString& path)
{
    return ::unlink(native(path).constData()) == 0;
}

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    return replaceAtomically(
        path,
        [&data](int fd, QString* why) {
            if (writeAll(fd, data.constData(), data.size()))
                return true;
            *why = errnoText(errno);
            return false;
        },
        error);
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace Platform
