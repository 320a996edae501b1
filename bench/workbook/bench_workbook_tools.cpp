// The workbook tab's commands on large inputs:
//   merge  the 20 styled worksheets (5,000 rows × 10 columns each) of one
//          workbook into a new worksheet (target: under 1 s, under 300 MB);
//   preview a 100,000-row × 10-column worksheet into the preview model
//          (target: under 1.5 s);
//   create 200 workbooks from an .xlt template (target: under 3 s), beside
//          single ssconvert runs (10 timed, scaled to 200);
//   delete-blank over a folder of 100 .xlsx workbooks (target: under 2 s),
//          and over 10 .xls ones.
// Pass one of the names to run only that part.

#include "BenchSupport.h"

#include "BlankSheets.h"
#include "CreateWorkbooks.h"
#include "ExcelHost.h"
#include "MergeSheets.h"
#include "SheetPreviewModel.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

bool ssconvert(const QStringList& args)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable(u"ssconvert"_s), args);
    return p.waitForFinished(600000) && p.exitCode() == 0;
}

bool styledWorkbook(const QString& path, int sheets, int rows, int columns)
{
    if (!Bench::writeWorkbook(path, sheets, rows, columns))
        return false;
    Xl::ExcelHost host;
    Xl::Workbook* book = host.Open(path);
    if (!book)
        return false;
    for (Xl::Worksheet* ws : book->worksheetList()) {
        const Xl::Range used = ws->UsedRange();
        for (int i = 7; i <= 12; ++i)
            used.setBorder(Xl::BordersIndex(i), Xl::LineStyle::Continuous, Xl::BorderWeight::Thin,
                           Xl::ColorIndexAutomatic);
        ws->Columns(1).setHorizontalAlignment(Xl::HAlign::Center);
    }
    return book->Close(true);
}

template <typename F> double bestOf(int runs, F&& f)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!f(i))
            return -1;
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTemporaryDir dir;

    if (only.isEmpty() || only == u"merge"_s) {
        const QString source = dir.filePath(u"twenty.xlsx"_s);
        if (!styledWorkbook(source, 20, 5000, 10))
            return 1;
        const double seconds = bestOf(3, [&](int run) {
            const QString path = dir.filePath(u"merge%1.xlsx"_s.arg(run));
            QFile::copy(source, path);
            Xl::ExcelHost host;
            Xl::MergeSheetsOptions o;
            o.TxtAdress = o.openedPath = path;
            return Xl::mergeWorksheets(host, o).status == Xl::MergeSheetsResult::Status::Done;
        });
        std::printf(
            "merge 20 sheets x 5000 rows x 10 columns into a new sheet: %.3f s (best of 3), peak %.0f MB\n",
            seconds, Bench::peakMegabytes());
    }
    if (only.isEmpty() || only == u"preview"_s) {
        const QString path = dir.filePath(u"big.xlsx"_s);
        if (!Bench::writeWorkbook(path, 1, 100000, 10))
            return 1;
        const double seconds = bestOf(3, [&](int) {
            Xl::ExcelHost host;
            Xl::SheetPreviewModel model;
            return model.load(host, path, 1) && model.rowCount() == 100000;
        });
        std::printf("preview model of 100000 rows x 10 columns: %.3f s (best of 3), peak %.0f MB\n", seconds,
                    Bench::peakMegabytes());
    }
    if (only.isEmpty() || only == u"create"_s) {
        const QString xlsx = dir.filePath(u"t.xlsx"_s);
        const QString xlt = dir.filePath(u"t.xlt"_s);
        if (!Bench::writeWorkbook(xlsx, 3, 20, 5) ||
            !ssconvert({u"-T"_s, u"Gnumeric_Excel:excel_biff8"_s, xlsx, xlt}))
            return 1;
        const double seconds = bestOf(3, [&](int run) {
            const QString out = dir.filePath(u"out%1"_s.arg(run));
            QDir().mkpath(out);
            Xl::ExcelHost host;
            Xl::CreateWorkbooksOptions o;
            o.TxtPath = out + u'/';
            o.Txtsheet = u"200"_s;
            o.TxtXLT = xlt;
            return Xl::CreateWorkbooks(host, o).created.size() == 200;
        });
        const QString single = dir.filePath(u"single"_s);
        QDir().mkpath(single);
        QElapsedTimer t;
        t.start();
        for (int i = 1; i <= 10; ++i) {
            if (!ssconvert({u"-T"_s, u"Gnumeric_Excel:excel_biff8"_s, xlt, single + u"/Book%1.xls"_s.arg(i)}))
                return 1;
        }
        const double ten = t.nsecsElapsed() / 1e9;
        std::printf("create 200 workbooks from an .xlt: %.3f s (best of 3); 10 single ssconvert runs %.2f s, "
                    "so 200 would take %.1f s\n",
                    seconds, ten, ten * 20);
    }
    if (only.isEmpty() || only == u"delete-blank"_s) {
        const QString folder = dir.filePath(u"blank"_s);
        if (!Bench::writeFolder(folder, 100, 3, 1000, 10))
            return 1;
        const QStringList names = QDir(folder).entryList({u"*.xlsx"_s}, QDir::Files, QDir::Name);
        auto addBlankSheets = [&] {
            Xl::ExcelHost host;
            for (const QString& n : names) {
                Xl::Workbook* book = host.Open(folder + u'/' + n);
                book->addWorksheet();
                if (!book->Close(true))
                    return false;
            }
            return true;
        };
        double seconds = 1e9;
        for (int run = 0; run < 3; ++run) {
            if (!addBlankSheets())
                return 1;
            QElapsedTimer t;
            t.start();
            Xl::ExcelHost host;
            QString path = folder;
            const Xl::BlankSheetFolderRun r = Xl::deleteAllBlankSheets(host, path);
            seconds = std::min(seconds, t.nsecsElapsed() / 1e9);
            if (r.books.size() != 100 || r.books.first().count != 1)
                return 1;
        }
        std::printf("delete-blank over 100 .xlsx (3 sheets x 1000 x 10, one blank each): %.3f s (best of 3), "
                    "peak %.0f MB\n",
                    seconds, Bench::peakMegabytes());

        const QString xlsFolder = dir.filePath(u"blankxls"_s);
        QDir().mkpath(xlsFolder);
        if (!addBlankSheets())
            return 1;
        for (int i = 0; i < 10; ++i) {
            if (!ssconvert({folder + u'/' + names[i], xlsFolder + u"/book%1.xls"_s.arg(i)}))
                return 1;
        }
        QElapsedTimer t;
        t.start();
        Xl::ExcelHost host;
        QString path = xlsFolder;
        const Xl::BlankSheetFolderRun r = Xl::deleteAllBlankSheets(host, path);
        std::printf(
            "delete-blank over 10 .xls: %.3f s (%d with a blank sheet)\n", t.nsecsElapsed() / 1e9,
            int(std::count_if(r.books.begin(), r.books.end(), [](const auto& b) { return b.count > 0; })));
    }
    return 0;
}
