#pragma once

#include "FileRow.h"

#include <QAbstractTableModel>
#include <QList>

namespace App {

// The rows of the file list `LstMain`: ten columns with the keys and captions of
// the list, a tick on every row (shown only; nothing reads it). Rows are kept in
// listing order and never sorted.
class FileListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit FileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setRows(QList<FileRow> rows);
    void clear();
    const FileRow& row(int index) const { return m_rows.at(index); }
    QString cell(int row, FileRow::Column column) const;
    // Writes one cell; rows outside the list are left alone.
    void setCell(int row, FileRow::Column column, const QString& text);
    // Writes a whole column from `texts` (row i gets texts[i], or "" past its end).
    void setColumn(FileRow::Column column, const QStringList& texts, int rowLimit = -1);

    static QString key(int column);
    static QString caption(int column);
    // Design width in pixels at 96 dots per inch.
    static int designWidth(int column);

private:
    QList<FileRow> m_rows;
};

} // namespace App
