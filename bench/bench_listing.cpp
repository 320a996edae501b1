// Lists a folder of 32,767 files into the main window's file list, all ten
// columns filled, and compares it with a bare loop doing the same statx,
// getxattr and type look-ups. Prints medians of five runs after a warm-up.

#include "app/MainWindow.h"
#include "platform/FileDetails.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The floor: what any listing must do for these columns, with nothing else.
qint64 bareLoop(const QByteArray& folder)
{
    static QMimeDatabase database;
    QHash<QByteArray, QString> types;
    qint64 sum = 0;
    DIR* dir = opendir(folder.constData());
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        const QByteArray path = folder + '/' + e->d_name;
        struct statx sx;
        statx(AT_FDCWD, path.constData(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx);
        char buffer[64];
        sum += getxattr(path.constData(), "user.DOSATTRIB", buffer, sizeof buffer);
        const char* dot = strrchr(e->d_name, '.');
        const QByteArray ext = dot ? QByteArray(dot) : QByteArray();
        auto it = types.find(ext);
        if (it == types.end())
            it = types.insert(
                ext, database.mimeTypeForFile(QFile::decodeName(e->d_name), QMimeDatabase::MatchExtension)
                         .comment());
        sum += it->size() + qint64(sx.stx_size);
    }
    closedir(dir);
    return sum;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 32767;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    QTemporaryDir dir(base + u"/tarnwick-bench-XXXXXX"_s);
    const char* extensions[] = {".txt", ".jpg", ".docx", ".xlsx", ".mp3", ".pdf", ""};
    for (int i = 0; i < count; ++i) {
        const QString name =
            u"文件_%1%2"_s.arg(i, 5, 10, QChar(u'0')).arg(QString::fromLatin1(extensions[i % 7]));
        QFile f(dir.path() + u'/' + name);
        f.open(QIODevice::WriteOnly);
        f.write("x", i % 3);
    }
    const QByteArray native = QFile::encodeName(dir.path());

    QTemporaryDir appFolder;
    App::MainWindowServices services;
    services.paths = Platform::AppPaths(appFolder.path(), appFolder.path() + u"/user"_s);
    App::MainWindow window(services);
    window.startUp();
    window.selectTab(0);

    std::vector<double> listing, floor;
    for (int run = 0; run < 6; ++run) {
        QTemporaryDir other;
        window.folderSelected(other.path()); // a different folder so the next one is read anew
        QElapsedTimer t;
        t.start();
        window.folderSelected(dir.path());
        const double ms = t.nsecsElapsed() / 1e6;
        if (window.fileListModel()->rowCount() != count ||
            window.fileListModel()->cell(count - 1, App::FileRow::ETime).isEmpty())
            return std::fprintf(stderr, "listing incomplete\n"), 1;
        t.restart();
        volatile qint64 sink = bareLoop(native);
        (void)sink;
        const double floorMs = t.nsecsElapsed() / 1e6;
        if (run > 0) { // the first run warms the caches
            listing.push_back(ms);
            floor.push_back(floorMs);
        }
    }
    const double l = median(listing), f = median(floor);
    std::printf("files: %d\nmain window listing, median of 5: %.1f ms\n"
                "bare statx+getxattr+type loop, median of 5: %.1f ms\nratio: %.2f\n",
                count, l, f, l / f);
    return 0;
}
