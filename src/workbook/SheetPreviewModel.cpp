#include "SheetPreviewModel.h"

#include "CellAddress.h"
#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

SheetPreviewModel::SheetPreviewModel(QObject* parent) : QAbstractTableModel(parent) {}

void SheetPreviewModel::clear()
{
    beginResetModel();
    m_sheetName.clear();
    m_usedRows = m_rows = m_columns = m_checked = 0;
    m_cells.clear();
    m_cells.shrink_to_fit();
    endResetModel();
}

bool SheetPreviewModel::load(ExcelHost& host, const QString& path, int worksheetIndex, WorkbookError* error)
{
    clear();
    Workbook* book = host.Open(path, error);
    if (!book)
        return false;
    Worksheet* ws = book->Worksheets(worksheetIndex);
    if (!ws) {
        book->Close(false);
        return fail(error, WorkbookError::Code::NoSuchSheet,
                    u"%1: %2"_s.arg(QFileInfo(path).fileName()).arg(worksheetIndex));
    }
    beginResetModel();
    const Range used = ws->UsedRange();
    m_sheetName = ws->Name();
    m_usedRows = used.rowCount();
    m_rows = used.lastRow();
    m_columns = used.lastColumn();
    ws->forEachCell([&](int row, int column) {
        QString text = ws->Cells(row, column).Text();
        if (!text.isEmpty())
            m_cells.push_back({row, column, std::move(text)});
    });
    m_cells.shrink_to_fit();
    m_checked = m_rows >= 2 ? 2 : 0; // the default title row
    endResetModel();
    book->Close(false);
    return true;
}

std::vector<SheetPreviewModel::StoredCell>::const_iterator SheetPreviewModel::lower(int row, int column) const
{
    return std::lower_bound(m_cells.begin(), m_cells.end(), std::pair{row, column},
                            [](const StoredCell& c, const std::pair<int, int>& key) {
                                return c.row < key.first || (c.row == key.first && c.column < key.second);
                            });
}

QString SheetPreviewModel::cellText(int row, int column) const
{
    const auto it = lower(row, column);
    return it != m_cells.end() && it->row == row && it->column == column ? it->text : QString();
}

QStringList SheetPreviewModel::rowTexts(int row) const
{
    QStringList out{u"行"_s + QString::number(row)};
    int column = 0;
    for (auto it = lower(row, 1); it != m_cells.end() && it->row == row; ++it) {
        while (++column < it->column)
            out << QString();
        out << it->text;
    }
    return out;
}

void SheetPreviewModel::setCheckedRow(int row)
{
    const int old = m_checked;
    m_checked = row >= 1 && row <= m_rows ? row : 0;
    if (old > 0)
        Q_EMIT dataChanged(index(old - 1, 0), index(old - 1, 0), {Qt::CheckStateRole});
    if (m_checked > 0)
        Q_EMIT dataChanged(index(m_checked - 1, 0), index(m_checked - 1, 0), {Qt::CheckStateRole});
}

int SheetPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int SheetPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_rows == 0 ? 0 : m_columns + 1;
}

QVariant SheetPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    if (index.column() == 0) {
        if (role == Qt::DisplayRole)
            return QString(u"行"_s + QString::number(row));
        if (role == Qt::CheckStateRole)
            return row == m_checked ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role == Qt::DisplayRole)
        return cellText(row, index.column());
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

bool SheetPreviewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    const int row = index.row() + 1;
    // The checked row becomes the only checked row; unchecking leaves none.
    if (value.toInt() == Qt::Checked)
        setCheckedRow(row);
    else if (row == m_checked)
        setCheckedRow(0);
    return true;
}

Qt::ItemFlags SheetPreviewModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant SheetPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == 0 ? u"行数"_s : columnName(section);
}

} // namespace Xl
