// "合并工作簿" end to end: `tarnwick-cli workbook merge-books` as a whole
// process on a folder of 100 workbooks × 3 sheets × 1,000 rows × 10 columns,
// beside `ssconvert --merge-to` on the same files.
//
//   bench_merge_books PATH/TO/tarnwick-cli [--engine-only] [--keep]
//
// --engine-only leaves out `ssconvert --merge-to`; --keep leaves the sample
// folder in place (its path is printed) for profiling.
//
// Each figure is the best of 3 runs: wall time, CPU time (user + system) and
// the process's peak resident memory, from wait4(). The target is put back
// before every run.

#include "BenchSupport.h"

#include "ExcelHost.h"
#include "MergeBooks.h"
#include "WorkbookInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace Qt::Literals::StringLiterals;

namespace {

struct Figure
{
    double wall = 1e9;
    double cpu = 0;
    double peakMb = 0;
    int status = -1;
};

// Runs `program` with `args`, output to /dev/null; wall, CPU and peak memory.
Figure runProcess(const QString& program, const QStringList& args)
{
    std::vector<QByteArray> storage;
    storage.push_back(QFile::encodeName(program));
    for (const QString& a : args)
        storage.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Figure f;
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return f;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    f.wall = t.nsecsElapsed() / 1e9;
    f.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
            usage.ru_stime.tv_usec / 1e6;
    f.peakMb = usage.ru_maxrss / 1024.0;
    f.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    posix_spawn_file_actions_destroy(&actions);
    return f;
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool putBack(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

void print(const char* what, const Figure& f)
{
    std::printf("%-58s wall %6.3f s  cpu %6.3f s  peak %5.0f MB  exit %d\n", what, f.wall, f.cpu, f.peakMb,
                f.status);
}

template <typename Prepare> Figure best(const QString& program, const QStringList& args, Prepare prepare)
{
    Figure b;
    for (int run = 0; run < 3; ++run) {
        prepare();
        const Figure f = runProcess(program, args);
        if (f.wall < b.wall)
            b = f;
    }
    return b;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: bench_merge_books PATH/TO/tarnwick-cli [--engine-only]\n");
        return 2;
    }
    const QString cli = QFileInfo(arguments[1]).absoluteFilePath();
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"books"_s);
    if (arguments.contains(u"--keep"_s)) {
        dir.setAutoRemove(false);
        std::printf("samples in %s\n", qPrintable(folder));
    }
    if (!Bench::writeFolder(folder, 100, 3, 1000, 10)) {
        std::fprintf(stderr, "could not write the sample workbooks\n");
        return 1;
    }
    const QString target = folder + u"/book001.xlsx"_s;
    const QByteArray original = bytesOf(target);
    auto restore = [&] {
        putBack(target, original);
        QFile::remove(folder + u"/merged.xls"_s);
    };

    const Figure sheets =
        best(cli, {u"workbook"_s, u"merge-books"_s, folder, u"--into=book001.xlsx"_s}, restore);
    print("worksheets into book001.xlsx (--into)", sheets);
    const Figure data =
        best(cli, {u"workbook"_s, u"merge-books"_s, folder, u"--into=book001.xlsx"_s, u"--data"_s}, restore);
    print("data of worksheet 1 into book001.xlsx (--into --data)", data);

    // The engine's own part of a new target: the same merge in this process,
    // saved as .xlsx (the window's input box always names an .xls).
    double engineNew = 1e9;
    for (int run = 0; run < 3; ++run) {
        restore();
        QFile::remove(folder + u"/merged.xlsx"_s);
        QString path = folder;
        QElapsedTimer t;
        t.start();
        Xl::ExcelHost host;
        const Xl::FolderScan scan = Xl::Read_xls(path, host);
        Xl::MergeBooksOptions o;
        o.CurrentFolder = path;
        o.books = scan.fileNames();
        o.intSheetCount = scan.sheetCounts();
        o.intCboGoal = 1;
        o.strGoalFN = dir.filePath(u"merged.xlsx"_s);
        o.replaceGoal = true;
        if (Xl::mergeWorkbooks(host, o).status != Xl::MergeBooksResult::Status::Done)
            return 1;
        engineNew = std::min(engineNew, t.nsecsElapsed() / 1e9);
    }
    std::printf("%-58s wall %6.3f s (in process, scan included)\n", "worksheets into a new .xlsx", engineNew);
    const Figure newXls = best(cli, {u"workbook"_s, u"merge-books"_s, folder, u"--new=merged"_s}, restore);
    print("worksheets into a new .xls (--new, through ssconvert)", newXls);
    const QString converter = Xl::ExcelHost::findConverter();
    if (!converter.isEmpty()) {
        const Figure convert = best(converter, {dir.filePath(u"merged.xlsx"_s), dir.filePath(u"conv.xls"_s)},
                                    [&] { QFile::remove(dir.filePath(u"conv.xls"_s)); });
        print("  of which: ssconvert of the merged .xlsx to .xls", convert);
    }

    if (!arguments.contains(u"--engine-only"_s) && !converter.isEmpty()) {
        QStringList files;
        for (const QString& n : QDir(folder).entryList({u"book*.xlsx"_s}, QDir::Files, QDir::Name))
            files << folder + u'/' + n;
        restore();
        const Figure gnumeric =
            runProcess(converter, QStringList{u"--merge-to="_s + dir.filePath(u"ss.xlsx"_s)} + files);
        print("ssconvert --merge-to (one run)", gnumeric);
        std::printf("ratio ssconvert --merge-to / merge-books --into: %.1f\n", gnumeric.wall / sheets.wall);
    }
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) > 0)
        std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    return 0;
}
