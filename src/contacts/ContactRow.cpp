#include "ContactRow.h"

using namespace Qt::Literals::StringLiterals;

namespace Contacts {

QString ContactRow::header(int column)
{
    static const QString headers[ColumnCount] = {u"编号"_s, u"姓名"_s, u"移动"_s, u"家庭"_s,
                                                 u"工作"_s, u"传真"_s, u"其他"_s};
    return column >= 0 && column < ColumnCount ? headers[column] : QString();
}

QString ContactRow::key(int column)
{
    static const QString keys[ColumnCount] = {u"BianHao"_s, u"Name"_s, u"Cell"_s, u"Home"_s,
                                              u"voice"_s,   u"Fax"_s,  u"Tel"_s};
    return column >= 0 && column < ColumnCount ? keys[column] : QString();
}

} // namespace Contacts
