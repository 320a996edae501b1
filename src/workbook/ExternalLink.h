#pragma once

#include "CellValue.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <utility>
#include <vector>

namespace Xl {

// Another workbook that formulas of this one refer to as "[n]Sheet!A1": its
// path, the sheets named and the values last read there. Spreadsheet programs
// show those values until the user updates the link, so a copied formula keeps
// its result and still says where the value came from.
class ExternalLink
{
public:
    ExternalLink(const QString& path, const QString& part, int number);

    // Absolute path of the other workbook.
    QString path() const { return m_path; }
    // The link's part in this workbook's package.
    QString part() const { return m_part; }
    // n in "[n]Sheet!A1": the link's place among the workbook's external references.
    int number() const { return m_number; }

    // Lists the sheet (a reference to an empty area still names it).
    void addSheet(const QString& sheet);
    // Keeps the value a cell of `sheet` holds; empty values are not kept.
    void addCell(const QString& sheet, int row, int column, const CellValue& value);

    // The part's markup, in the namespaces of the workbook it belongs to.
    QByteArray xml(const QByteArray& mainNamespace, const QByteArray& relNamespace) const;
    // The relationship target that leads from a workbook saved at `savedAt` to
    // the other workbook: relative, as a URI.
    QString target(const QString& savedAt) const;

private:
    int sheetIndex(const QString& sheet);

    QString m_path;
    QString m_part;
    int m_number;
    QStringList m_sheets;
    std::vector<std::map<std::pair<int, int>, CellValue>> m_cells; // per sheet, (row, column) -> value
};

} // namespace Xl
