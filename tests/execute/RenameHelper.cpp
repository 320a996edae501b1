// Test helper: renames every file of a folder to "n_" + its name with the core
// execution, recording into an undo folder, so a test can kill it mid-run.
// Usage: execute_rename_helper folder undo-folder [microseconds-per-row]

#include "execute/RenameExecution.h"

#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    Execute::RenameRequest request;
    request.folder = args.at(1) + u'/';
    request.undoFolder = args.at(2);
    request.oldNames = Platform::listFiles(args.at(1), u"*.*"_s);
    for (const QString& name : std::as_const(request.oldNames))
        request.newNames.append(u"n_"_s + name);
    // Optionally stretch the run, so the killing test finds it in the middle.
    const qint64 pause = args.size() > 3 ? args.at(3).toLongLong() * 1000 : 0;
    request.progress = [pause](qsizetype, qsizetype) {
        if (pause <= 0)
            return;
        QElapsedTimer timer;
        timer.start();
        while (timer.nsecsElapsed() < pause) {
        }
    };
    std::puts("renaming");
    std::fflush(stdout);
    const auto outcome = Execute::ExecuteRename(request);
    return outcome.recorded && outcome.renamed == request.oldNames.size() ? 0 : 1;
}
