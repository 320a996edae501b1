#include "ContactTables.h"

#include "TextDecoding.h"

#include "workbook/Cell.h"
#include "workbook/ExcelHost.h"
#include "workbook/Range.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace Contacts {

bool isWorkbookPath(const QString& path)
{
    const QString name = path.trimmed();
    return name.endsWith(u".xls"_s, Qt::CaseInsensitive) || name.endsWith(u".xlsx"_s, Qt::CaseInsensitive) ||
           name.endsWith(u".xlsm"_s, Qt::CaseInsensitive) || name.endsWith(u"XLS"_s, Qt::CaseInsensitive);
}

bool Read_xls(const QString& path, QStringList* sheetLines, QString* error)
{
    Xl::ExcelHost host;
    Xl::WorkbookError failure;
    Xl::Workbook* book = host.Open(path, &failure);
    if (!book) {
        if (error)
            *error = failure.toString();
        return false;
    }
    if (sheetLines) {
        for (Xl::Worksheet* sheet : book->worksheetList()) {
            QString line = sheet->Name();
            if (sheet->UsedRange().CountA() == 0)
                line += u"(空白工作表)"_s;
            sheetLines->append(line);
        }
    }
    book->Close(false);
    return true;
}

bool ReadSheetRows(const QString& path, int sheetPosition, ContactRows& rows, QString* error)
{
    Xl::ExcelHost host;
    Xl::WorkbookError failure;
    Xl::Workbook* book = host.Open(path, &failure);
    if (!book) {
        if (error)
            *error = failure.toString();
        return false;
    }
    Xl::Worksheet* sheet = book->Worksheets(sheetPosition);
    if (!sheet) {
        if (error)
            *error = u"工作簿中没有第 %1 个工作表"_s.arg(sheetPosition);
        book->Close(false);
        return false;
    }
    // The last name of column A, found from the sheet's end (every row of a
    // large .xlsx counts, and a name in the very last row too).
    const Xl::Range used = sheet->UsedRange();
    int lastRow = 1;
    for (int row = used.lastRow(); row >= 2; --row) {
        if (sheet->Cells(row, 1).hasContent()) {
            lastRow = row;
            break;
        }
    }
    rows.reserve(rows.size() + lastRow - 1);
    for (int row = 2; row <= lastRow; ++row) {
        ContactRow contact;
        contact[ContactRow::BianHao] = QString::number(row - 1);
        for (int column = 1; column <= 6; ++column)
            contact[column] = sheet->Cells(row, column).Text();
        rows.append(contact);
    }
    book->Close(false);
    return true;
}

QString textStopMessage()
{
    return u"此类文本文件不能处理！\r\n请利用Excel将其转换为：\r\nCSV(逗号分隔)文件(*.csv)或\r\n文本文件(制表符分隔)(*.txt)重试！"_s;
}

QString textStopTitle()
{
    return u"转换成VCF"_s;
}

TextTableResult readTextTable(const QString& text)
{
    TextTableResult result;
    const QChar* data = text.constData();
    const qsizetype size = text.size();
    qsizetype pos = 0;
    int lineNo = 0;
    QStringList fields;
    while (pos < size) {
        // One record: fields separated by commas or tabs, up to a line break outside quotes.
        fields.clear();
        bool separated = false;
        bool ended = false;
        while (!ended) {
            QString field;
            if (pos < size && data[pos] == u'"') {
                // A quoted field: doubled quotes stand for one; anything else is kept.
                ++pos;
                while (pos < size) {
                    const qsizetype start = pos;
                    while (pos < size && data[pos] != u'"')
                        ++pos;
                    field.append(data + start, pos - start);
                    if (pos + 1 < size && data[pos + 1] == u'"') {
                        field += u'"';
                        pos += 2;
                        continue;
                    }
                    ++pos; // the closing quote
                    break;
                }
            }
            // Unquoted text (or what follows a closing quote) up to a separator or line end.
            const qsizetype start = pos;
            while (pos < size) {
                const char16_t c = data[pos].unicode();
                if (c == u',' || c == u'\t' || c == u'\r' || c == u'\n')
                    break;
                ++pos;
            }
            if (field.isEmpty())
                field = QString(data + start, pos - start);
            else
                field.append(data + start, pos - start);
            fields.append(field);
            if (pos >= size) {
                ended = true;
            } else if (data[pos] == u',' || data[pos] == u'\t') {
                separated = true;
                ++pos;
            } else {
                if (data[pos] == u'\r' && pos + 1 < size && data[pos + 1] == u'\n')
                    ++pos;
                ++pos;
                ended = true;
            }
        }
        if (!separated) {
            result.stopped = true;
            return result;
        }
        if (lineNo > 0) {
            ContactRow row;
            row[ContactRow::BianHao] = QString::number(lineNo);
            for (qsizetype i = 0; i < fields.size() && i < 5; ++i)
                row[int(i) + 1] = fields.at(i);
            if (fields.size() > 5)
                row[ContactRow::Tel] = fields.mid(5).join(u',');
            result.rows.append(std::move(row));
        }
        ++lineNo;
    }
    return result;
}

TextTableResult Read_Text(const QString& path)
{
    TextTableResult result;
    if (path.trimmed().isEmpty())
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.readable = false;
        result.error = file.errorString();
        return result;
    }
    return readTextTable(decodeText(file.readAll()));
}

} // namespace Contacts
