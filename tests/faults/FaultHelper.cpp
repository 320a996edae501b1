// Test helper for the fault suite: runs the core rename or undo in a process
// of its own, so a test can kill it, starve it or race it.
// Usage:
//   fault_helper rename <folder> <undo-folder> [microseconds-per-row]
//     renames every file of the folder to "n_" + its name; prints "renaming"
//     when it starts, then "renamed <n>", "stopped <reason>" (when it stopped),
//     "record <path>" and "warnings <n>"; exit 0 when every rename is recorded.
//   fault_helper undo <record>
//     undoes the record, answering its question Yes; prints "undoing" first.
//   fault_helper save <workbook>
//     saves the workbook over and over, each time with every cell of column A
//     holding the number of the save; prints "saved <n>" after each.

#include "execute/RenameExecution.h"
#include "execute/UndoRename.h"

#include "workbook/Cell.h"
#include "workbook/CellValue.h"
#include "workbook/ExcelHost.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

class YesDialogs final : public Platform::Dialogs
{
public:
    explicit YesDialogs(const QString& file) : m_file(file) {}
    Platform::MessageAnswer message(const Platform::MessageRequest& request) override
    {
        return request.buttons == Platform::MessageButtons::YesNo ? Platform::MessageAnswer::Yes
                                                                  : Platform::MessageAnswer::Ok;
    }
    QString openFile(const Platform::FileDialogRequest&) override { return m_file; }
    QString saveFile(const Platform::FileDialogRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }

private:
    QString m_file;
};

void say(const QString& line)
{
    std::puts(line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == u"undo"_s) {
        YesDialogs dialogs(args.at(2));
        say(u"undoing"_s);
        const auto outcome = Execute::UndoRename(dialogs, QFileInfo(args.at(2)).absolutePath());
        say(u"undone %1 missing %2 refused %3"_s.arg(outcome.undone)
                .arg(outcome.missing)
                .arg(outcome.refused));
        return outcome.documentUpdated ? 0 : 1;
    }
    if (args.size() >= 3 && args.at(1) == u"save"_s) {
        Xl::ExcelHost host;
        Xl::Workbook* book = host.Open(args.at(2));
        if (!book)
            return 2;
        for (int n = 1;; ++n) {
            Xl::Worksheet* sheet = book->Worksheets(1);
            for (int row = 1; row <= 20000; ++row)
                sheet->Cells(row, 1).setValue(Xl::CellValue::number(n));
            if (!book->Save())
                return 1;
            say(u"saved %1"_s.arg(n));
        }
    }
    if (args.size() < 4 || args.at(1) != u"rename"_s)
        return 2;
    Execute::RenameRequest request;
    request.folder = args.at(2) + u'/';
    request.undoFolder = args.at(3);
    request.oldNames = Platform::listFiles(args.at(2), u"*.*"_s);
    for (const QString& name : std::as_const(request.oldNames))
        request.newNames.append(u"n_"_s + name);
    // Optionally stretch the run, so a test finds it in the middle.
    const qint64 pause = args.size() > 4 ? args.at(4).toLongLong() * 1000 : 0;
    request.progress = [pause](qsizetype, qsizetype) {
        QElapsedTimer timer;
        timer.start();
        while (timer.nsecsElapsed() < pause) {
        }
    };
    say(u"renaming"_s);
    const auto outcome = Execute::ExecuteRename(request);
    say(u"renamed %1"_s.arg(outcome.renamed));
    if (!outcome.stopReason.isEmpty())
        say(u"stopped "_s + outcome.stopReason);
    say(u"record "_s + outcome.undoLogPath);
    say(u"warnings %1"_s.arg(outcome.warnings.size()));
    return outcome.recorded ? 0 : 1;
}
