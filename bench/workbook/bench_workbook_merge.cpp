// 100 workbooks of 3 sheets × 1,000 rows × 10 columns merged sheet by sheet
// into one new workbook with the engine's copy (target: under 3 s), beside
// `ssconvert --merge-to` on the same files.

#include "BenchSupport.h"

#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

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
    QStringList files;
    for (const QString& n : QDir(folder).entryList({u"*.xlsx"_s}, QDir::Files, QDir::Name))
        files << folder + u'/' + n;

    double engine = 1e9;
    int sheets = 0;
    for (int run = 0; run < 3; ++run) {
        const QString target = dir.filePath(u"merged%1.xlsx"_s.arg(run));
        QElapsedTimer t;
        t.start();
        Xl::ExcelHost host;
        Xl::WorkbookError error;
        Xl::Workbook* merged = host.Add();
        if (!merged->SaveAs(target, &error))
            return 1;
        for (const QString& f : files) {
            Xl::Workbook* source = host.Open(f, &error);
            if (!source) {
                std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
                return 1;
            }
            const QString base = QFileInfo(f).completeBaseName();
            for (Xl::Worksheet* ws : source->worksheetList()) {
                ws->setName(base + u'_' + ws->Name());
                if (!ws->Copy(merged->Worksheets(merged->worksheetCount()), &error)) {
                    std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
                    return 1;
                }
            }
            source->Close(false);
        }
        if (!merged->Save(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
            return 1;
        }
        sheets = merged->sheetCount();
        const double s = t.nsecsElapsed() / 1e9;
        engine = std::min(engine, s);
        std::printf("engine run %d: %.3f s, %d sheets, %.1f MB\n", run + 1, s, sheets,
                    QFileInfo(target).size() / 1048576.0);
    }

    const QString converter =
        app.arguments().contains(u"--engine-only"_s) ? QString() : Xl::ExcelHost::findConverter();
    double gnumeric = -1;
    if (!converter.isEmpty()) {
        const QString target = dir.filePath(u"ssconvert-merged.xlsx"_s);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"GSETTINGS_BACKEND"_s, u"memory"_s);
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(converter, QStringList{u"--merge-to="_s + target} + files);
        p.waitForFinished(-1);
        gnumeric = t.nsecsElapsed() / 1e9;
        std::printf("ssconvert --merge-to: %.3f s (exit %d), %.1f MB\n", gnumeric, p.exitCode(),
                    QFileInfo(target).size() / 1048576.0);
    }
    std::printf("merge of 100 workbooks (%d sheets): engine best %.3f s", sheets, engine);
    if (gnumeric > 0)
        std::printf(", ssconvert --merge-to %.3f s, ratio %.1f×", gnumeric, gnumeric / engine);
    std::printf(", peak %.0f MB\n", Bench::peakMegabytes());
    return 0;
}
