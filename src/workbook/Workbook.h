#pragma once

#include "ContentTypes.h"
#include "ExternalLink.h"
#include "Relationships.h"
#include "SharedStrings.h"
#include "Styles.h"
#include "WorkbookError.h"
#include "XlConstants.h"
#include "ZipPackage.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace Xl {

class ExcelHost;
class Worksheet;

// File formats, chosen by extension when saving.
enum class FileFormat
{
    Xlsx,
    Xlsm,
    Xltx,
    Xltm,
    Xls,
    Xlt,
    Ods,
    Et,
    Xlsb,
    Unknown
};
FileFormat formatForPath(const QString& path);
// True for the formats kept in OOXML natively; the others go through ssconvert.
bool isNativeFormat(FileFormat format);

// An open workbook. Parts of the package the engine does not change are written
// back byte for byte. Owned by its ExcelHost.
class Workbook
{
public:
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    ExcelHost* host() const { return m_host; }
    // File name ("Book1" for a new workbook not saved yet).
    QString Name() const;
    // Full path ("" for a new workbook not saved yet).
    QString FullName() const { return m_path; }
    FileFormat format() const { return m_format; }

    // Sheets.Count (every kind) and Worksheets.Count.
    int sheetCount() const { return int(m_sheets.size()); }
    int worksheetCount() const;
    QString sheetName(int index) const; // 1-based, every kind
    SheetType sheetType(int index) const;
    // Worksheets(i), 1-based among the worksheets; Worksheets(name), without regard to case.
    Worksheet* Worksheets(int index) const;
    Worksheet* Worksheets(const QString& name) const;
    // Sheets(i): the sheet at position i when it is a worksheet.
    Worksheet* Sheets(int index) const;
    // Every worksheet, in order (a snapshot to iterate while deleting).
    QList<Worksheet*> worksheetList() const;

    // Worksheets.Add: a new empty worksheet after `after` (after the last sheet
    // when null), named "SheetN", made the active sheet.
    Worksheet* addWorksheet(Worksheet* after = nullptr, WorkbookError* error = nullptr);
    Worksheet* ActiveSheet() const;

    // Save; SaveAs writes the format of the path's extension (.xlsx, .xlsm,
    // .xltx, .xltm natively; .xls, .xlt, .ods, .et through ssconvert) and
    // replaces a file there. Writing is atomic: the original stays intact on
    // any failure.
    bool Save(WorkbookError* error = nullptr);
    bool SaveAs(const QString& path, WorkbookError* error = nullptr);
    // Closes the workbook, saving first when asked; `this` is gone afterwards
    // (also when the save fails: the changes are dropped then).
    bool Close(bool saveChanges = false, WorkbookError* error = nullptr);

    // True when something changed since opening or the last save.
    bool isModified() const;
    bool date1904() const { return m_date1904; }

    // Internals shared with Worksheet and the info readers.
    Styles& styles() { return m_styles; }
    const Styles& styles() const { return m_styles; }
    SharedStrings& sharedStrings() { return m_sst; }
    const SharedStrings& sharedStrings() const { return m_sst; }
    bool hasSharedStrings() const { return !m_sstPart.isEmpty(); }

private:
    friend class ExcelHost;
    friend class Worksheet;

    struct Slot
    {
        pugi::xml_node node; // the <sheet> element
        QString part;
        SheetType type = SheetType::Worksheet;
        std::unique_ptr<Worksheet> sheet; // worksheets only
        QString savedName;                // the name in the file on disk; "" for a sheet not saved yet
    };

    explicit Workbook(ExcelHost* host);
    bool loadPackage(const QByteArray& bytes, WorkbookError* error);
    bool createNew(WorkbookError* error);
    bool readPart(const QString& part, QByteArray* data, WorkbookError* error) const;
    Relationships* rels(const QString& part, WorkbookError* error = nullptr);
    QString relTypeBase() const;
    QString uniquePartName(const QString& stem, const QString& extension) const;
    QString uniqueSheetName(const QString& wanted) const;
    static bool isValidSheetName(const QString& name);
    bool isNameUsed(const QString& name, const Worksheet* except) const;
    int slotOf(const Worksheet* sheet) const;
    int activeIndex() const;
    void setActiveIndex(int index);
    pugi::xml_node workbookView();
    void renumberLocalSheetIds(int removedOrInserted, bool inserted);
    void syncAppProperties();
    void cellsChanged(bool formulas);
    void ensureSharedStringsPart();
    void addPartType(const QString& part, const QString& type);
    void removePart(const QString& part);
    QStringList partGraph(const QString& part);
    QSet<QString> reachableParts();
    bool renameSheet(Worksheet* sheet, const QString& name, WorkbookError* error);
    bool deleteSheet(Worksheet* sheet, WorkbookError* error);
    Worksheet* insertWorksheet(int position, const QString& name, const QByteArray& xml,
                               WorkbookError* error);
    // The attribute that carries a relationship id on the workbook's elements
    // ("r:id", or the prefix its sheets use), declaring the namespace if needed.
    QString relIdAttributeName();
    Worksheet* insertSlot(int position, const QString& name, std::unique_ptr<Worksheet> sheet,
                          WorkbookError* error);
    Worksheet* copySheet(Worksheet* source, Workbook* target, int position, WorkbookError* error);
    struct CopyContext;
    QString copyPartTree(const QString& part, Workbook* target, CopyContext& context);
    void rewriteChartFormulas(const QString& from, const QString& to);
    // Formula text of a cell copied from `source` into this workbook:
    // references into sheets of `source` other than `keep` become references
    // into the file `source` was read from, and the link keeps the values they
    // cover. Unchanged when `source` is this workbook or has no file.
    QString linkFormula(Workbook* source, const QString& formula, const QString& keep);
    ExternalLink* linkTo(const QString& path);
    // The names sheets have in the file once it is written.
    void markSaved();
    // Formulas that refer to other workbooks become the values they show:
    // the converter to the legacy formats turns such references into #REF!.
    void keepLinkedValuesOnly();
    // Gives this workbook the theme of `source` when it has none, so that theme
    // colours of copied formats resolve.
    void adoptTheme(Workbook* source);
    bool flush(FileFormat format, const QString& destination, WorkbookError* error);
    bool writeTo(const QString& path, FileFormat format, WorkbookError* error);
    QList<pugi::xml_node> definedNames() const;

    ExcelHost* m_host;
    QString m_path;
    QString m_newName; // "Book1" until saved
    FileFormat m_format = FileFormat::Xlsx;
    ZipPackage m_zip;
    ContentTypes m_types;
    QString m_workbookPart;
    pugi::xml_document m_workbook;
    bool m_workbookModified = false;
    QHash<QString, std::shared_ptr<Relationships>> m_rels; // by lower-cased part name
    QString m_stylesPart;
    Styles m_styles;
    QString m_sstPart;
    SharedStrings m_sst;
    std::vector<Slot> m_sheets;
    bool m_sheetsChanged = false; // list of sheets changed: app.xml needs an update
    bool m_activeChanged = false; // the selected tab must be marked again
    bool m_cellsChanged = false;
    bool m_formulasWritten = false;
    bool m_date1904 = false;
    QString m_originalAppNames;                         // worksheet titles app.xml listed when read
    std::vector<std::unique_ptr<ExternalLink>> m_links; // links made since opening
    QSet<QString> m_linkedRanges;                       // "link|sheet|r1|c1|r2|c2" already cached
};

} // namespace Xl
