#pragma once

#include <QList>
#include <QString>

#include <array>

namespace Contacts {

// One row of the contact list `LvwVCF`: seven text fields in column order.
struct ContactRow
{
    enum Column
    {
        BianHao, // 编号: running number, never written to a card
        Name,    // 姓名
        Cell,    // 移动
        Home,    // 家庭
        voice,   // 工作
        Fax,     // 传真
        Tel,     // 其他
        ColumnCount
    };

    std::array<QString, ColumnCount> fields;

    QString& operator[](int column) { return fields[size_t(column)]; }
    const QString& operator[](int column) const { return fields[size_t(column)]; }
    bool operator==(const ContactRow&) const = default;

    // The column headers "编号" … "其他" and the column keys `BianHao` … `Tel`.
    static QString header(int column);
    static QString key(int column);
};

using ContactRows = QList<ContactRow>;

} // namespace Contacts
