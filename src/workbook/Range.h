#pragma once

#include "Cell.h"
#include "WorkbookError.h"
#include "XlConstants.h"

#include <QString>

namespace Xl {

class Worksheet;

// A rectangle of cells of one worksheet (`Range(cell1, cell2)`, `UsedRange`,
// `Columns(c)`): a light handle like `Cell`.
class Range
{
public:
    Range() = default;
    Range(Worksheet* sheet, int row, int column, int rows, int columns);
    Range(const Cell& a, const Cell& b);

    bool isValid() const;
    Worksheet* parent() const { return m_sheet; }
    int Row() const { return m_row; }             // first row
    int Column() const { return m_column; }       // first column
    int rowCount() const { return m_rows; }       // Rows.Count
    int columnCount() const { return m_columns; } // Columns.Count
    int lastRow() const { return m_row + m_rows - 1; }
    int lastColumn() const { return m_column + m_columns - 1; }
    // "A1:C4" ("A1" for one cell).
    QString address() const;

    // Cell (r, c) counted from the first cell, 1-based.
    Cell Cells(int row, int column) const;
    Range Offset(int rows, int columns) const;
    Range Resize(int rows, int columns) const;

    // WorksheetFunction.CountA over the range: cells holding a value or a
    // formula (one that returns "" counts).
    qint64 CountA() const;

    // Copy, then Paste at `destination` (a cell of this or another workbook):
    // values, formulas (relative references moved as a paste moves them), number
    // formats, fonts, fills, borders, alignment, merged cells and row heights.
    // Cells of the target area that are empty in the source are cleared.
    bool Copy(const Cell& destination, WorkbookError* error = nullptr) const;

    // Columns.AutoFit: widths of the range's columns from the text of the
    // range's cells (a wide CJK character counts double).
    void AutoFit() const;
    void setHorizontalAlignment(HAlign alignment) const;
    void setVerticalAlignment(VAlign alignment) const;
    // Borders(index).LineStyle / .Weight / .ColorIndex. LineStyle::None
    // removes the line; colorIndex is ColorIndexAutomatic or 1..56.
    void setBorder(BordersIndex index, LineStyle style, BorderWeight weight, int colorIndex) const;
    // Merges the range into one cell (the first cell's value stays).
    void Merge() const;

private:
    Worksheet* m_sheet = nullptr;
    int m_row = 0, m_column = 0, m_rows = 0, m_columns = 0;
};

} // namespace Xl
