#pragma once

#include "WorkbookError.h"

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace Xl {

class ExcelHost;

// The preview of a worksheet as a table: the column "行数" then one column per
// sheet column (A, B, ...), and for each row r from 1 to the used range's last
// row the text "行r" then the cells' texts. Only the cells that hold a value
// are kept (their texts made once, when loaded); every other cell is answered
// as empty on demand, so a sheet with a single cell at XFD1048576 costs one
// text, not 17 billion. Column 0 carries a check box: one row at most is
// checked (the title row; row 2 after loading).
class SheetPreviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SheetPreviewModel(QObject* parent = nullptr);

    // Reads worksheet `worksheetIndex` (1-based) of the workbook at `path`.
    // On failure the model is left empty and `error` says why.
    bool load(ExcelHost& host, const QString& path, int worksheetIndex, WorkbookError* error = nullptr);
    void clear();

    QString sheetName() const { return m_sheetName; }
    int usedRowCount() const { return m_usedRows; } // rows of the used range ("数据共…行")
    int sheetRows() const { return m_rows; }        // rows shown: 1 .. the used range's last row
    int sheetColumns() const { return m_columns; }  // sheet columns shown: 1 .. its last column
    qsizetype storedCells() const { return qsizetype(m_cells.size()); }

    // The text of sheet cell (row, column), 1-based; "" for an empty cell.
    QString cellText(int row, int column) const;
    // The row's texts: "行r" then its cells up to its last stored cell.
    QStringList rowTexts(int row) const;

    // The checked row (1-based), 0 for none.
    int checkedRow() const { return m_checked; }
    void setCheckedRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct StoredCell
    {
        int row;
        int column;
        QString text;
    };
    // Index of the first stored cell at or after (row, column).
    std::vector<StoredCell>::const_iterator lower(int row, int column) const;

    QString m_sheetName;
    int m_usedRows = 0;
    int m_rows = 0;
    int m_columns = 0;
    int m_checked = 0;
    std::vector<StoredCell> m_cells; // ordered by row, then column
};

} // namespace Xl
