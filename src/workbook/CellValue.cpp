#include "CellValue.h"

namespace Xl {

CellValue CellValue::number(double v)
{
    CellValue c;
    c.m_type = Type::Number;
    c.m_number = v;
    return c;
}

CellValue CellValue::text(const QString& v)
{
    CellValue c;
    c.m_type = Type::Text;
    c.m_text = v;
    return c;
}

CellValue CellValue::boolean(bool v)
{
    CellValue c;
    c.m_type = Type::Boolean;
    c.m_number = v ? 1 : 0;
    return c;
}

CellValue CellValue::error(const QString& code)
{
    CellValue c;
    c.m_type = Type::Error;
    c.m_text = code;
    return c;
}

bool CellValue::operator==(const CellValue& o) const
{
    return m_type == o.m_type && m_number == o.m_number && m_text == o.m_text;
}

} // namespace Xl
