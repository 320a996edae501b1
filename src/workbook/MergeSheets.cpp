#include "MergeSheets.h"

#include "CellAddress.h"
#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "platform/FileSystem.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

// The block of `sheet` from `top` over the rows reached by Ctrl+Down from
// (`start`, 1), moved down by `shift`; invalid when it holds nothing.
Range blockOf(Worksheet* sheet, int titleRow, int start, int shift)
{
    if (start > MaxRows)
        return {};
    const int last = sheet->Cells(start, 1).End(Direction::Down).Row();
    const Range used = sheet->UsedRange();
    const int top = titleRow + shift;
    // Only rows and columns that hold something are copied: the move may have
    // run to the sheet's edge, and the shifted block may pass it.
    const int bottom = std::min({last + shift, MaxRows, used.lastRow()});
    if (sheet->lastValueRow() == 0)
        return {};
    if (top > bottom)
        return {};
    return Range(sheet, top, 1, bottom - top + 1, used.lastColumn());
}

} // namespace

QString freeBackupPath(const QString& path)
{
    const QFileInfo fi(path);
    const QString dir = fi.path() + u'/';
    const QString first = dir + u'_' + fi.fileName();
    if (!Platform::PathExists(first))
        return first;
    const QString base = fi.completeBaseName();
    const QString ext = fi.suffix().isEmpty() ? QString() : u'.' + fi.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = dir + u'_' + base + u" ("_s + QString::number(n) + u')' + ext;
        if (!Platform::PathExists(candidate))
            return candidate;
    }
}

MergeSheetsResult mergeWorksheets(ExcelHost& host, const MergeSheetsOptions& options)
{
    MergeSheetsResult result;
    const QString f = options.TxtAdress.trimmed();
    if (f.isEmpty()) {
        result.messages << u"请选择文件！"_s;
        return result;
    }
    if (QFileInfo(f).absoluteFilePath() != QFileInfo(options.openedPath.trimmed()).absoluteFilePath() ||
        options.openedPath.trimmed().isEmpty()) {
        result.messages << u"“文件”框中的工作簿不是最后打开的工作簿，请单击打开按钮重新打开这个工作簿！"_s;
        return result;
    }
    if (options.LngBth < 1 || options.LngBth > MaxRows) {
        result.messages << u"标题行应在第1行到第%1行之间！"_s.arg(MaxRows);
        return result;
    }

    Workbook* book = host.Open(f, &result.error);
    if (!book) {
        result.status = MergeSheetsResult::Status::Failed;
        result.messages << u"无法打开工作簿：\r\n"_s + f + u"\r\n"_s + result.error.message;
        return result;
    }
    const int intSheet = book->worksheetCount();
    Worksheet* existing = nullptr;
    if (options.intCboSheet > 0) {
        existing = book->Worksheets(options.intCboSheet);
        if (!existing) {
            book->Close(false);
            result.messages << u"工作簿中没有第%1个工作表，请重新打开这个工作簿！"_s.arg(options.intCboSheet);
            return result;
        }
    }

    if (options.ChkBook) {
        const QString backup = freeBackupPath(f);
        QString why;
        if (!Platform::copyFile(f, backup, false, &why)) {
            book->Close(false);
            result.status = MergeSheetsResult::Status::Failed;
            result.messages << u"无法备份工作簿，未合并：\r\n"_s + backup + u"\r\n"_s + why;
            return result;
        }
        result.backupPath = backup;
        result.messages << u"工作簿备份到： "_s + u"\r\n"_s + backup;
    }

    const int t = options.LngBth;
    Worksheet* target = nullptr;
    auto pasteFrom = [&](Worksheet* ws, int start, int shift) {
        const Range block = blockOf(ws, t, start, shift);
        if (!block.isValid())
            return;
        const int next = target->lastValueRow() + 1;
        if (next > MaxRows || !block.Copy(target->Cells(next, 1))) {
            result.skippedSheets << ws->Name();
            return;
        }
        ++result.merged;
    };

    if (options.intCboSheet < 0) {
        // Nothing chosen: nothing to merge, and nothing to write.
        book->Close(false);
        result.status = MergeSheetsResult::Status::Done;
        return result;
    }
    QString closing;
    if (options.intCboSheet == 0) {
        target = book->addWorksheet(book->Worksheets(intSheet), &result.error);
        if (!target) {
            book->Close(false);
            result.status = MergeSheetsResult::Status::Failed;
            result.messages << u"无法添加新工作表，未合并。"_s;
            return result;
        }
        target->setName(options.strTxtName); // a refused name leaves the engine's own
        for (int i = 1; i <= intSheet; ++i) {
            Worksheet* ws = book->Worksheets(i);
            const bool withTitle = options.ChkXX && i == 1;
            pasteFrom(ws, t + 1, withTitle ? 0 : 1);
        }
        target->UsedRange().AutoFit();
        closing = u"合并了 "_s + QString::number(intSheet) + u" 个工作表！"_s;
    } else if (existing) {
        target = existing;
        const QString name = target->Name();
        for (int i = 1; i <= intSheet; ++i) {
            Worksheet* ws = book->Worksheets(i);
            if (ws->Name().compare(name, Qt::CaseInsensitive) == 0)
                continue;
            pasteFrom(ws, t, options.ChkXX ? 1 : 0);
        }
        closing = u"    已将"_s + QString::number(intSheet - 1) + u" 个工作表合并到："_s + u"\r\n"_s +
                  u"《"_s + name + u"》工作表中!"_s + u"\r\n"_s + u"    请查看！"_s;
    }

    if (!book->Close(true, &result.error)) {
        result.status = MergeSheetsResult::Status::Failed;
        result.messages << u"无法保存工作簿，文件未改变：\r\n"_s + f + u"\r\n"_s + result.error.message;
        return result;
    }
    result.status = MergeSheetsResult::Status::Done;
    if (!closing.isEmpty())
        result.messages << closing;
    if (!result.skippedSheets.isEmpty())
        result.Lblbook = u"    未能复制的工作表："_s + result.skippedSheets.join(u"、"_s);
    return result;
}

} // namespace Xl
