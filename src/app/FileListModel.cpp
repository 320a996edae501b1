#include "FileListModel.h"

using namespace Qt::Literals::StringLiterals;

namespace App {

namespace {

struct ColumnInfo
{
    const char16_t* key;
    const char16_t* caption;
    int width;
};

constexpr ColumnInfo kColumns[FileRow::ColumnCount] = {
    {u"FileId", u"文件编号", 106}, {u"OldName", u"文件名", 183},  {u"NewName", u"新文件名", 183},
    {u"option", u"操作状态", 113}, {u"fileLX", u"文件类型", 169}, {u"fileDX", u"文件大小", 106},
    {u"fileSX", u"文件属性", 106}, {u"CTime", u"创建时间", 235},  {u"ETime", u"修改时间", 235},
    {u"VTime", u"访问时间", 169},
};

} // namespace

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FileRow::ColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const FileRow& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return row.cells[size_t(index.column())];
    case Qt::CheckStateRole:
        if (index.column() == FileRow::FileId)
            return row.ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == FileRow::option)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != FileRow::FileId)
        return false;
    m_rows[index.row()].ticked = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == FileRow::FileId)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= FileRow::ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return caption(section);
    if (role == Qt::TextAlignmentRole && section == FileRow::option)
        return int(Qt::AlignCenter);
    return {};
}

void FileListModel::setRows(QList<FileRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void FileListModel::clear()
{
    setRows({});
}

QString FileListModel::cell(int row, FileRow::Column column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows.at(row).cells[size_t(column)];
}

void FileListModel::setCell(int row, FileRow::Column column, const QString& text)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row].cells[size_t(column)] = text;
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
}

void FileListModel::setColumn(FileRow::Column column, const QStringList& texts, int rowLimit)
{
    const qsizetype count = rowLimit < 0 ? m_rows.size() : qMin<qsizetype>(rowLimit, m_rows.size());
    for (qsizetype i = 0; i < count; ++i)
        m_rows[i].cells[size_t(column)] = i < texts.size() ? texts.at(i) : QString();
    if (count > 0)
        Q_EMIT dataChanged(index(0, column), index(int(count) - 1, column), {Qt::DisplayRole});
}

QString FileListModel::key(int column)
{
    return QString::fromUtf16(kColumns[column].key);
}

QString FileListModel::caption(int column)
{
    return QString::fromUtf16(kColumns[column].caption);
}

int FileListModel::designWidth(int column)
{
    return kColumns[column].width;
}

} // namespace App
