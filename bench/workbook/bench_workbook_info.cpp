// `workbook info` over a folder of 100 workbooks of 3 sheets × 1,000 rows × 10
// columns (target: under 1 s).

#include "BenchSupport.h"

#include "WorkbookCommand.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"books"_s);
    if (!Bench::writeFolder(folder, 100, 3, 1000, 10)) {
        std::fprintf(stderr, "could not write the sample workbooks\n");
        return 1;
    }
    double best = 1e9;
    int lines = 0;
    for (int run = 0; run < 3; ++run) {
        QString out, err;
        QTextStream o(&out), e(&err);
        QElapsedTimer t;
        t.start();
        const int status = runWorkbookCommand({u"workbook"_s, u"info"_s, folder}, o, e);
        const double s = t.nsecsElapsed() / 1e9;
        if (status != 0) {
            std::fprintf(stderr, "workbook info failed: %s\n", qPrintable(err));
            return 1;
        }
        lines = int(out.count(u'\n'));
        best = std::min(best, s);
        std::printf("run %d: %.3f s\n", run + 1, s);
    }
    std::printf(
        "workbook info, 100 workbooks × 3 sheets × 1000 rows × 10 columns: best %.3f s (%d sheet lines), "
        "peak %.0f MB\n",
        best, lines, Bench::peakMegabytes());
    return 0;
}
