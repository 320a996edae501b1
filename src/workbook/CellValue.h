#pragma once

#include <QString>

namespace Xl {

// The value a cell holds (for a formula cell: its last computed result).
class CellValue
{
public:
    enum class Type
    {
        Empty,
        Number,
        Text,
        Boolean,
        Error
    };

    CellValue() = default;
    static CellValue number(double v);
    static CellValue text(const QString& v);
    static CellValue boolean(bool v);
    // An error value such as "#N/A" or "#DIV/0!".
    static CellValue error(const QString& code);

    Type type() const { return m_type; }
    bool isEmpty() const { return m_type == Type::Empty; }
    double toNumber() const { return m_number; }
    bool toBool() const { return m_number != 0; }
    // The text of a Text value, the code of an Error value, "" otherwise.
    QString toText() const { return m_text; }

    bool operator==(const CellValue& o) const;

private:
    Type m_type = Type::Empty;
    double m_number = 0;
    QString m_text;
};

} // namespace Xl
