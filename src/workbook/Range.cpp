#include "Range.h"

#include "CellAddress.h"
#include "Styles.h"
#include "TextCodec.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QHash>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

Range::Range(Worksheet* sheet, int row, int column, int rows, int columns)
    : m_sheet(sheet), m_row(row), m_column(column), m_rows(rows), m_columns(columns)
{
}

Range::Range(const Cell& a, const Cell& b)
    : m_sheet(a.parent() == b.parent() ? a.parent() : nullptr), m_row(std::min(a.Row(), b.Row())),
      m_column(std::min(a.Column(), b.Column())), m_rows(std::abs(a.Row() - b.Row()) + 1),
      m_columns(std::abs(a.Column() - b.Column()) + 1)
{
}

bool Range::isValid() const
{
    return m_sheet && m_rows > 0 && m_columns > 0 && CellAddress{m_row, m_column}.isValid() &&
           CellAddress{lastRow(), lastColumn()}.isValid();
}

QString Range::address() const
{
    if (m_rows == 1 && m_columns == 1)
        return cellName(m_row, m_column);
    return cellName(m_row, m_column) + u':' + cellName(lastRow(), lastColumn());
}

Cell Range::Cells(int row, int column) const
{
    return Cell(m_sheet, m_row + row - 1, m_column + column - 1);
}

Range Range::Offset(int rows, int columns) const
{
    return Range(m_sheet, m_row + rows, m_column + columns, m_rows, m_columns);
}

Range Range::Resize(int rows, int columns) const
{
    return Range(m_sheet, m_row, m_column, rows, columns);
}

qint64 Range::CountA() const
{
    if (!isValid())
        return 0;
    return m_sheet->countA(m_row, m_column, lastRow(), lastColumn());
}

bool Range::Copy(const Cell& destination, WorkbookError* error) const
{
    if (!isValid() || !destination.isValid())
        return fail(error, WorkbookError::Code::InvalidArgument, address());
    return m_sheet->copyRange(*this, destination.parent(), destination.Row(), destination.Column(), error);
}

void Range::AutoFit() const
{
    if (!isValid())
        return;
    m_sheet->autoFit(m_row, m_column, lastRow(), lastColumn());
}

void Range::setHorizontalAlignment(HAlign alignment) const
{
    static const QHash<int, QString> names = {{int(HAlign::General), u"general"_s},
                                              {int(HAlign::Left), u"left"_s},
                                              {int(HAlign::Center), u"center"_s},
                                              {int(HAlign::Right), u"right"_s},
                                              {int(HAlign::Fill), u"fill"_s},
                                              {int(HAlign::Justify), u"justify"_s},
                                              {int(HAlign::CenterAcrossSelection), u"centerContinuous"_s},
                                              {int(HAlign::Distributed), u"distributed"_s}};
    if (isValid())
        m_sheet->applyAlignment(*this, names.value(int(alignment)), QString());
}

void Range::setVerticalAlignment(VAlign alignment) const
{
    static const QHash<int, QString> names = {{int(VAlign::Top), u"top"_s},
                                              {int(VAlign::Center), u"center"_s},
                                              {int(VAlign::Bottom), u"bottom"_s},
                                              {int(VAlign::Justify), u"justify"_s},
                                              {int(VAlign::Distributed), u"distributed"_s}};
    if (isValid())
        m_sheet->applyAlignment(*this, QString(), names.value(int(alignment)));
}

void Range::setBorder(BordersIndex index, LineStyle style, BorderWeight weight, int colorIndex) const
{
    if (isValid())
        m_sheet->applyBorder(*this, index, style, weight, colorIndex);
}

void Range::Merge() const
{
    if (!isValid() || (m_rows == 1 && m_columns == 1))
        return;
    m_sheet->removeMergesIn(m_row, m_column, lastRow(), lastColumn());
    m_sheet->addMerge(m_row, m_column, lastRow(), lastColumn());
}

} // namespace Xl
