#include "Cell.h"

#include "CellAddress.h"
#include "Styles.h"
#include "Workbook.h"
#include "Worksheet.h"

namespace Xl {

Cell::Cell(Worksheet* sheet, int row, int column) : m_sheet(sheet), m_row(row), m_column(column) {}

bool Cell::isValid() const
{
    return m_sheet && CellAddress{m_row, m_column}.isValid();
}

QString Cell::address() const
{
    return cellName(m_row, m_column);
}

CellValue Cell::Value() const
{
    return isValid() ? m_sheet->value(m_row, m_column) : CellValue();
}

void Cell::setValue(const CellValue& value) const
{
    if (isValid())
        m_sheet->setValue(m_row, m_column, value);
}

QString Cell::Formula() const
{
    return isValid() ? m_sheet->formula(m_row, m_column) : QString();
}

void Cell::setFormula(const QString& formula, const CellValue& cached) const
{
    if (isValid())
        m_sheet->setFormula(m_row, m_column, formula, cached);
}

QString Cell::Text() const
{
    return isValid() ? m_sheet->text(m_row, m_column) : QString();
}

CellFormat Cell::format() const
{
    if (!isValid())
        return {};
    return m_sheet->parent()->styles().describe(m_sheet->styleIndex(m_row, m_column));
}

bool Cell::hasContent() const
{
    return isValid() && m_sheet->countA(m_row, m_column, m_row, m_column) > 0;
}

Cell Cell::End(Direction direction) const
{
    if (!isValid())
        return {};
    const CellAddress a = m_sheet->end(m_row, m_column, direction);
    return Cell(m_sheet, a.row, a.column);
}

Cell Cell::Offset(int rows, int columns) const
{
    return Cell(m_sheet, m_row + rows, m_column + columns);
}

} // namespace Xl
