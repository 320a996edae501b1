#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Makes a file or folder immutable with chattr +i, which stops even root from
// changing it, and clears the flag again when it goes out of scope.
class Immutable
{
public:
    explicit Immutable(const QString& path) : m_path(path) { m_set = run(QStringLiteral("+i")); }
    ~Immutable()
    {
        if (m_set)
            run(QStringLiteral("-i"));
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    // False where chattr is missing or the file system has no such flag.
    bool isSet() const { return m_set; }

private:
    bool run(const QString& flag) const
    {
        QProcess chattr;
        chattr.start(QStringLiteral("chattr"), {flag, m_path});
        return chattr.waitForFinished(10000) && chattr.exitStatus() == QProcess::NormalExit &&
               chattr.exitCode() == 0;
    }

    QString m_path;
    bool m_set = false;
};

#define REQUIRE_IMMUTABLE(guard)                                                                             \
    do {                                                                                                     \
        if (!(guard).isSet())                                                                                \
            QSKIP("chattr +i is not available here");                                                        \
    } while (false)
