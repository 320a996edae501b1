#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// Shared by the fuzz targets: inputs as Qt bytes, a scratch file for parsers
// that read from a path, and a check that ends the run as a crash.
namespace Fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A file of this process (in /dev/shm when there is one) rewritten per input.
inline QString scratchFile(const char* suffix)
{
    static const QString base = []() -> QString {
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return QString::fromLatin1(dir) + u"/tarnwick-fuzz-" + QString::number(getpid());
    }();
    return base + QString::fromLatin1(suffix);
}

inline QString writeScratch(const QByteArray& content, const char* suffix)
{
    const QString path = scratchFile(suffix);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        std::abort();
    return path;
}

// An invariant of the parser broke: report it as a crash with the input kept.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);         \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

} // namespace Fuzz
