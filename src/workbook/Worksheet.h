#pragma once

#include "Cell.h"
#include "CellAddress.h"
#include "Range.h"
#include "SheetData.h"
#include "WorkbookError.h"
#include "ZipPackage.h"

#include <QHash>
#include <QList>
#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <memory>

namespace Xl {

class SheetPartReader;
class Workbook;
struct StyleImport;

// A worksheet of an open workbook. Owned by its workbook; a pointer stays valid
// until the sheet is deleted or the workbook closed.
class Worksheet
{
public:
    ~Worksheet();
    Worksheet(const Worksheet&) = delete;
    Worksheet& operator=(const Worksheet&) = delete;

    Workbook* parent() const { return m_book; }
    QString Name() const;
    // Renames the sheet, and the references to it in formulas, defined names,
    // charts and hyperlinks. Refused (InvalidName, NameTaken), the old name stays.
    bool setName(const QString& name, WorkbookError* error = nullptr);
    // Position among all sheets of the workbook, 1-based.
    int Index() const;
    bool isVisible() const;
    void Activate();

    // Cells holding a value or a format; A1 alone for an empty sheet.
    Range UsedRange() const;
    // Calls `visit` for every cell holding a value or a formula, row by row,
    // left to right: the way to read a sheet in time proportional to what it
    // stores, not to its used range.
    void forEachCell(const std::function<void(int row, int column)>& visit) const;
    // The last row holding a value or a formula; 0 when no cell does.
    int lastValueRow() const;
    // True when a chart, image or shape is placed on the sheet (its drawing
    // part), or the sheet has a background picture.
    bool hasDrawing() const;
    Cell Cells(int row, int column);
    Range range(const Cell& a, const Cell& b);
    // Whole columns first..last (one column when `last` is 0).
    Range Columns(int first, int last = 0);

    // Deletes the sheet (not the workbook's last or last visible sheet). On
    // success `this` is gone.
    bool Delete(WorkbookError* error = nullptr);
    // Copies the sheet to after `after` (a sheet of this or another workbook;
    // the end of this workbook when null), with its formats, column widths,
    // row heights, merged cells, views, print setup, names scoped to it,
    // drawings, charts, images, comments and tables (renamed when their names
    // are taken). A sheet name already used there gets a derived one
    // ("Sheet1 (2)"); the copy's charts and formulas that named the sheet name
    // the copy. Pivot tables, slicers and threaded comments stay behind (their
    // cells and the plain comments come along). The copy becomes the active
    // sheet unless it is hidden (a hidden sheet stays hidden). Into another
    // workbook: formulas that name other sheets of this one refer to this
    // workbook's file ("[1]Data!A1", with the values they show kept in the
    // link), cells of the default format keep this workbook's default look,
    // and calendar dates keep their day across the two date systems.
    Worksheet* Copy(Worksheet* after, WorkbookError* error = nullptr);

    // Column width in characters (the sheet's default when not set).
    double columnWidth(int column) const;
    bool hasCustomWidth(int column) const;
    // Row height in points (the sheet's default when not set).
    double rowHeight(int row) const;
    QList<Range> mergedCells() const;
    // Style index of a cell: an empty cell's is its row's or column's (0 for the
    // default format).
    int styleIndex(int row, int column) const;

private:
    friend class Workbook;
    friend class Cell;
    friend class Range;

    Worksheet(Workbook* book, const QString& part);
    bool load(const QByteArray& xml, WorkbookError* error, std::atomic<qint64>* cellBudget = nullptr);
    // Inflates and reads the part piece by piece (see SheetPartReader).
    bool load(const ZipPackage::Stored& stored, WorkbookError* error, std::atomic<qint64>* cellBudget);
    bool load(SheetPartReader& reader, WorkbookError* error);
    // Brings derived markup (the dimension) up to date; then save() may run on
    // any thread.
    void prepareSave();
    QByteArray save() const;
    void markModified() { m_modified = true; }
    void contentChanged();

    // Cell access for Cell and Range.
    CellValue value(int row, int column) const;
    QString text(int row, int column) const;
    CellValue valueOf(const CellRecord& cell) const;
    QString textOf(const CellRecord& cell) const;
    QString formula(int row, int column) const;
    void setValue(int row, int column, const CellValue& value);
    void setFormula(int row, int column, const QString& formula, const CellValue& cached);
    CellAddress end(int row, int column, Direction direction) const;
    qint64 countA(int row1, int col1, int row2, int col2) const;
    // Turns every follower of shared formula `si` into a formula of its own.
    void unshareFormula(int sharedIndex);
    void prepareOverwrite(int row, int column);
    // Sets a cell's style, creating the cell when needed.
    void setStyle(int row, int column, int style);

    // Range operations.
    bool copyRange(const Range& source, Worksheet* target, int row, int column, WorkbookError* error);
    void autoFit(int row1, int col1, int row2, int col2);
    void applyAlignment(const Range& range, const QString& horizontal, const QString& vertical);
    void applyBorder(const Range& range, BordersIndex index, LineStyle style, BorderWeight weight,
                     int colorIndex);

    // Structure helpers.
    pugi::xml_node root() const { return m_doc.document_element(); }
    pugi::xml_node ensureChild(const char* local);
    double defaultColumnWidth() const;
    double defaultRowHeight() const;
    void setColumnWidth(int first, int last, double width, bool custom);
    void setColumnStyle(int column, int style);
    int columnStyle(int column) const;
    void addMerge(int row1, int col1, int row2, int col2);
    void removeMergesIn(int row1, int col1, int row2, int col2);
    void setTabSelected(bool selected);
    bool isTabSelected() const;
    // Rewrites formulas of this sheet with `f` (only cells whose formula
    // mentions `hint`), and the sheet's hyperlink locations. `inputsChanged`
    // says whether the rewritten formulas may compute another result (the
    // workbook then asks for a recalculation when it is opened).
    bool rewriteFormulas(const QString& hint, const std::function<QString(const QString&)>& f,
                         bool inputsChanged = true);
    // Remaps style indices and shared strings of a sheet copied from another
    // workbook.
    void importFrom(const Worksheet& source, StyleImport& styles);

    Workbook* m_book;
    QString m_part;
    pugi::xml_document m_doc; // the sheet XML with a placeholder for <sheetData>
    SheetData m_data;
    std::string m_prefix;
    bool m_modified = false;

    struct SharedMaster
    {
        int row = 0, column = 0, formula = -1;
    };
    mutable QHash<int, SharedMaster> m_masters; // shared formula index -> master cell
    mutable bool m_mastersValid = false;
};

} // namespace Xl
