#pragma once

#include "ContactRow.h"

#include <QAbstractTableModel>

namespace Contacts {

// The rows of `LvwVCF`: seven columns "编号" … "其他", the first left-aligned,
// the others centred.
class ContactListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const ContactRows& rows() const { return m_rows; }
    void clear();
    void append(const ContactRows& rows);

private:
    ContactRows m_rows;
};

} // namespace Contacts
