// Compares the core rename (with its undo record: one write() per entry, one
// fsync at the end) against a bare readdir + renameat2 loop over the same
// folder. Usage: bench_execute_rename [files] [rounds] [chinese]

#include "execute/RenameExecution.h"

#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

QString g_stem = u"IMG_"_s;

void fill(const QString& folder, int files)
{
    for (int i = 0; i < files; ++i) {
        QFile file(folder + u'/' + g_stem + QString::number(i).rightJustified(6, u'0') + u".jpg"_s);
        file.open(QIODevice::WriteOnly);
    }
}

// The baseline: read the folder, then rename every entry with renameat2.
qint64 bareLoop(const QString& folder)
{
    QElapsedTimer timer;
    timer.start();
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    const int fd = dirfd(dir);
    std::vector<std::string> names;
    while (const struct dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
    for (const std::string& name : names) {
        const std::string target = "n_" + name;
        renameat2(fd, name.c_str(), fd, target.c_str(), RENAME_NOREPLACE);
    }
    closedir(dir);
    return timer.nsecsElapsed();
}

qint64 coreRun(const QString& folder, const QString& undoFolder, const QStringList& names)
{
    Execute::RenameRequest request;
    request.folder = folder + u'/';
    request.undoFolder = undoFolder;
    request.oldNames = names;
    request.newNames.reserve(names.size());
    for (const QString& name : names)
        request.newNames.append(u"n_"_s + name);
    QElapsedTimer timer;
    timer.start();
    const auto outcome = Execute::ExecuteRename(request);
    const qint64 elapsed = timer.nsecsElapsed();
    if (outcome.renamed != names.size() || !outcome.recorded)
        std::fprintf(stderr, "core run renamed %lld of %lld\n", static_cast<long long>(outcome.renamed),
                     static_cast<long long>(names.size()));
    return elapsed;
}

// The same renames through the platform call with full paths, nothing recorded.
qint64 platformLoop(const QString& folder, const QStringList& names)
{
    QElapsedTimer timer;
    timer.start();
    const QString base = folder + u'/';
    for (const QString& name : names)
        Platform::renameNoReplace(base + name, base + u"n_"_s + name);
    return timer.nsecsElapsed();
}

qint64 fastest(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.front();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    if (argc > 3 && QByteArray(argv[3]) == "chinese")
        g_stem = u"家庭照片_"_s;

    std::vector<qint64> bare, core, platform;
    for (int round = 0; round < rounds; ++round) {
        {
            QTemporaryDir dir;
            fill(dir.path(), files);
            bare.push_back(bareLoop(dir.path()));
        }
        {
            QTemporaryDir dir;
            const QString folder = dir.path() + u"/files"_s;
            const QString undoFolder = dir.path() + u"/undofile"_s;
            QDir().mkpath(folder);
            QDir().mkpath(undoFolder);
            fill(folder, files);
            QStringList names = QDir(folder).entryList(QDir::Files, QDir::Unsorted);
            core.push_back(coreRun(folder, undoFolder, names));
        }
        {
            QTemporaryDir dir;
            fill(dir.path(), files);
            const QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Unsorted);
            platform.push_back(platformLoop(dir.path(), names));
        }
    }
    const double b = fastest(bare) / 1e6;
    const double c = fastest(core) / 1e6;
    std::printf("platform renameNoReplace loop with full paths, no record: %.1f ms\n",
                fastest(platform) / 1e6);
    std::printf(
        "%d files, fastest of %d rounds: bare readdir+renameat2 %.1f ms, core rename with undo record "
        "%.1f ms, ratio %.2f\n",
        files, rounds, b, c, c / b);
    return 0;
}
