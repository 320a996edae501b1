#include "app/CommandLine.h"
#include "platform/SystemClock.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnwick"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    Platform::SystemClock clock;

    App::CommandLine::Environment environment;
    environment.out = &out;
    environment.err = &err;
    environment.terminal = ::isatty(STDIN_FILENO) ? &in : nullptr;
    environment.paths = Platform::AppPaths::fromExecutable();
    environment.clock = &clock;
    return App::CommandLine(environment).run(QCoreApplication::arguments().mid(1));
}
