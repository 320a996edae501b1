#include "FileAttributes.h"

#include "FileSystem.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr const char* kXattrName = "user.DOSATTRIB";
// Bits that come from the file itself rather than the stored value.
constexpr int kDerivedBits = AttrReadOnly | AttrDirectory;

int derive(mode_t mode, int stored, bool dotName)
{
    int value = stored < 0 ? 0 : (stored & ~kDerivedBits);
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        value |= AttrReadOnly;
    if (S_ISDIR(mode))
        value |= AttrDirectory;
    if (dotName)
        value |= AttrHidden;
    return value;
}

QString baseName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

int storedAttributes(const char* nativePath)
{
    char buffer[256];
    const ssize_t size = ::getxattr(nativePath, kXattrName, buffer, sizeof buffer);
    return size > 0 ? parseDosAttrib(QByteArray::fromRawData(buffer, size)) : -1;
}

} // namespace

int parseDosAttrib(const QByteArray& stored)
{
    // Both forms begin with "0x" and hexadecimal digits; the binary form follows
    // them with a NUL and Samba's structure, whose attribute matches the text.
    if (stored.size() < 3 || stored.at(0) != '0' || (stored.at(1) != 'x' && stored.at(1) != 'X'))
        return -1;
    int value = 0;
    qsizetype i = 2;
    for (; i < stored.size(); ++i) {
        const char c = stored.at(i);
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        if (value > 0xFFFFFF)
            return -1;
        value = value * 16 + digit;
    }
    if (i == 2)
        return -1;
    if (i < stored.size() && stored.at(i) != '\0' && stored.at(i) != '\n')
        return -1;
    return value;
}

QByteArray formatDosAttrib(int value)
{
    return "0x" + QByteArray::number(value, 16);
}

int readStoredAttributes(const QByteArray& nativePath)
{
    const int stored = storedAttributes(nativePath.constData());
    return stored < 0 ? 0 : stored;
}

int readStoredAttributesAt(int dirFd, const char* entryName, const QByteArray& nativePath)
{
#ifdef __x86_64__
    // getxattrat (Linux 6.13) looks the entry up in the open folder instead of
    // walking the whole path again for every file of a large folder.
    constexpr long kGetxattrat = 464;
    struct XattrArgs
    {
        quint64 value;
        quint32 size;
        quint32 flags;
    };
    static std::atomic<bool> unavailable{false};
    if (!unavailable.load(std::memory_order_relaxed)) {
        char buffer[256];
        XattrArgs args{quint64(quintptr(buffer)), quint32(sizeof buffer), 0};
        const long size = ::syscall(kGetxattrat, dirFd, entryName, 0, kXattrName, &args, sizeof args);
        if (size > 0) {
            const int stored = parseDosAttrib(QByteArray::fromRawData(buffer, qsizetype(size)));
            return stored < 0 ? 0 : stored;
        }
        if (size < 0 && errno != ENOSYS && errno != EINVAL && errno != EPERM)
            return 0; // no stored value (ENODATA), or none can be stored
        unavailable.store(true, std::memory_order_relaxed);
    }
#else
    Q_UNUSED(dirFd);
    Q_UNUSED(entryName);
#endif
    return readStoredAttributes(nativePath);
}

int attributesFromStat(const QByteArray& nativePath, unsigned mode, bool dotName)
{
    return derive(mode_t(mode), storedAttributes(nativePath.constData()), dotName);
}

int readAttributesAt(int dirFd, const char* entryName, const QByteArray& nativePath)
{
    struct stat st;
    if (fstatat(dirFd, entryName, &st, 0) != 0)
        return -1;
    return derive(st.st_mode, storedAttributes(nativePath.constData()), entryName[0] == '.');
}

int readAttributes(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return -1;
    return derive(st.st_mode, storedAttributes(native.constData()), baseName(path).startsWith(u'.'));
}

bool writeAttributes(const QString& path, int value, QString* error)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0) {
        if (error)
            *error = errnoText(errno);
        return false;
    }
    const bool dotName = baseName(path).startsWith(u'.');
    if (dotName && !(value & AttrHidden)) {
        if (error)
            *error = QStringLiteral("a name that starts with a dot is always hidden");
        return false;
    }
    if (bool(value & AttrDirectory) != S_ISDIR(st.st_mode)) {
        if (error)
            *error = QStringLiteral("the directory attribute cannot be changed");
        return false;
    }
    const mode_t originalMode = st.st_mode & 07777;
    // The stored value may only be written while the file is writable.
    const mode_t writable = originalMode | S_IWUSR;
    if (writable != originalMode && ::chmod(native.constData(), writable) != 0) {
        if (error)
            *error = errnoText(errno);
        return false;
    }
    const int storedBits = value & ~kDerivedBits & ~(dotName ? AttrHidden : 0);
    const QByteArray text = formatDosAttrib(value);
    int xattrResult = ::setxattr(native.constData(), kXattrName, text.constData(), text.size(), 0);
    int xattrErrno = xattrResult == 0 ? 0 : errno;
    if (xattrResult != 0 && (xattrErrno == ENOTSUP || xattrErrno == EOPNOTSUPP) && storedBits == 0)
        xattrResult = 0; // nothing beyond the permission to store
    if (xattrResult != 0) {
        if (writable != originalMode)
            ::chmod(native.constData(), originalMode);
        if (error)
            *error = errnoText(xattrErrno);
        return false;
    }
    mode_t finalMode = originalMode;
    if (value & AttrReadOnly)
        finalMode &= ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH);
    else if ((originalMode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        finalMode |= S_IWUSR;
    if (finalMode != writable && ::chmod(native.constData(), finalMode) != 0) {
        if (error)
            *error = errnoText(errno);
        return false;
    }
    return true;
}

} // namespace Platform
