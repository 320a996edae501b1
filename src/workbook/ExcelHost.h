#pragma once

#include "AtomicSave.h"
#include "WorkbookError.h"

#include <QDateTime>
#include <QHash>

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTemporaryDir;

namespace Xl {

class Workbook;

// The workbook engine in the role of the spreadsheet application: opens and
// creates workbooks and owns them until they are closed. Legacy formats
// (.xls, .xlt, .ods, .et) are converted with gnumeric's ssconvert into a
// private temporary folder, worked on natively and converted back on saving.
// Destroying the host (Quit) closes every workbook without saving.
class ExcelHost
{
public:
    ExcelHost();
    ~ExcelHost();
    ExcelHost(const ExcelHost&) = delete;
    ExcelHost& operator=(const ExcelHost&) = delete;

    // Workbooks.Open. Null with `error` set when the file cannot be opened.
    Workbook* Open(const QString& path, WorkbookError* error = nullptr);
    // Workbooks.Add: a new workbook with the worksheets "Sheet1", "Sheet2" and
    // "Sheet3", or a copy of a template's content (.xltx, .xlsx, .xlt, ...).
    Workbook* Add(const QString& templatePath = QString(), WorkbookError* error = nullptr);
    QList<Workbook*> Workbooks() const;
    // Closes every workbook without saving.
    void Quit();

    // The ssconvert program; found on PATH by default. An empty or missing
    // program makes legacy formats fail with ConverterMissing.
    QString converter() const { return m_converter; }
    void setConverter(const QString& program) { m_converter = program; }
    static QString findConverter();

    // Makes the next save fail at `stage` (for tests).
    void setSaveFault(SaveFault stage) { m_saveFault = stage; }

    // Converts `source` into `target` with ssconvert (format by the target's
    // extension, or `exportType` when given; the source's format guessed, or
    // `importType`). Waits for the program.
    bool convert(const QString& source, const QString& target, WorkbookError* error,
                 const QString& exportType = QString(), const QString& importType = QString()) const;

    // What a file holds, from its first bytes (2 KB are enough) and its name.
    enum class FileKind
    {
        Package,      // an OOXML zip package, read natively
        Compound,     // an OLE compound file (.xls, .et, or a protected workbook)
        OpenDocument, // .ods
        WebTable,     // an HTML table or Excel 2003 XML named .xls/.xlt, as web exports are
        Unknown,
    };
    static FileKind classify(const QByteArray& head, const QString& fileName, QString* importType = nullptr);
    // Converts each legacy workbook of `sources` into an .xlsx in the host's
    // private folder, two conversions at a time; returns the converted paths
    // (empty for a failure, with its error in `errors`).
    QStringList convertAll(const QStringList& sources, QList<WorkbookError>* errors);
    // A fresh path in the host's private folder.
    QString privatePath(const QString& suffix);

private:
    friend class Workbook;
    void closed(Workbook* book);
    SaveFault takeSaveFault();
    Workbook* openConverted(const QString& path, const QString& xlsx, WorkbookError* error);

    std::vector<std::unique_ptr<Workbook>> m_books;
    QString m_converter;
    SaveFault m_saveFault = SaveFault::None;
    std::unique_ptr<QTemporaryDir> m_temp;
    int m_tempCounter = 0;
    int m_newCounter = 0;
    struct Converted
    {
        QString xlsx;
        QDateTime modified;
        qint64 size = 0;
    };
    QHash<QString, Converted> m_converted;                        // legacy source path -> its converted copy
    QHash<QString, std::pair<Converted, WorkbookError>> m_failed; // conversions that failed
};

} // namespace Xl
