#pragma once

#include "CellFormat.h"
#include "CellValue.h"
#include "XlConstants.h"

#include <QString>

namespace Xl {

class Worksheet;

// One cell of a worksheet, as `Cells(r, c)` gives it: a light handle (sheet,
// row, column) that stays valid as long as its worksheet exists.
class Cell
{
public:
    Cell() = default;
    Cell(Worksheet* sheet, int row, int column);

    bool isValid() const;
    Worksheet* parent() const { return m_sheet; }
    int Row() const { return m_row; }
    int Column() const { return m_column; }
    // "B3"
    QString address() const;

    // The value; for a formula cell its last computed result.
    CellValue Value() const;
    // Writes a constant (an empty value clears the cell's content, not its format).
    void setValue(const CellValue& value) const;
    // The formula with its "=" ("=SUM(A1:A3)"), or "" for a constant or empty cell.
    QString Formula() const;
    // Writes a formula (with or without "="), with the value to show until the
    // workbook is recalculated (it recalculates when opened).
    void setFormula(const QString& formula, const CellValue& cached = CellValue()) const;
    // The value as text, as a preview shows it: numbers as their number format
    // shows them (formatNumberText; General in plain decimal with 15
    // significant digits), dates and times of date-formatted cells as
    // "2024/1/5", "13:05:00" or "2024/1/5 13:05:00", TRUE/FALSE, error codes.
    QString Text() const;
    // The cell's format.
    CellFormat format() const;
    // True when the cell holds a value or a formula (what CountA counts).
    bool hasContent() const;

    // The cell that Ctrl+arrow reaches from here: from a filled cell whose
    // neighbour that way is filled, the last filled cell of that run;
    // otherwise the next filled cell that way, or the sheet's edge.
    Cell End(Direction direction) const;
    Cell Offset(int rows, int columns) const;

private:
    Worksheet* m_sheet = nullptr;
    int m_row = 0;
    int m_column = 0;
};

} // namespace Xl
