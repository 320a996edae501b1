#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the built command-line tool with no display and no terminal on standard
// input, and keeps what it printed.
struct CliResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline CliResult runCli(const QString& program, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, args);
    process.waitForFinished(120000);
    CliResult r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}
