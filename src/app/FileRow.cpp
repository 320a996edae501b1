#include "FileRow.h"

#include "platform/FileDetails.h"
#include "platform/TimeText.h"

using namespace Qt::Literals::StringLiterals;

namespace App {

namespace {

// value = numerator / 2^shift, rounded half-to-even to an integer, exactly.
quint64 roundHalfEven(quint64 numerator, int shift)
{
    const quint64 quotient = numerator >> shift;
    const quint64 remainder = numerator & ((quint64(1) << shift) - 1);
    const quint64 half = quint64(1) << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1)))
        return quotient + 1;
    return quotient;
}

// `scaled` hundredths or tenths written in the shortest form ("1.5", "2", "1.12").
QString shortestDecimal(quint64 scaled, int decimals)
{
    quint64 divisor = decimals == 2 ? 100 : 10;
    QString text = QString::number(scaled / divisor);
    QString fraction = QString::number(scaled % divisor).rightJustified(decimals, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += u'.' + fraction;
    return text;
}

} // namespace

QString sizeText(qint64 bytes)
{
    if (bytes < 0)
        return {};
    const quint64 s = quint64(bytes);
    if (s > 1048576)
        return shortestDecimal(roundHalfEven(s * 100, 20), 2) + u"MB"_s;
    if (s > 1024)
        return shortestDecimal(roundHalfEven(s * 10, 10), 1) + u"KB"_s;
    return QString::number(s) + u'B';
}

QString AttributeText(int attributes)
{
    switch (attributes) {
    case 0:
        return u"常规"_s;
    case 1:
        return u"只读"_s;
    case 2:
        return u"隐藏"_s;
    case 4:
        return u"系统"_s;
    case 16:
        return u"目录或文件夹"_s;
    case 32:
        return u"存档"_s;
    case 64:
        return u"链接或快捷方式"_s;
    case 128:
        return u"压缩"_s;
    default:
        return attributes < 0 ? QString() : u"未知"_s;
    }
}

FileRow FileRow::read(int id, const QString& folder, const QString& name, const QLocale& locale)
{
    FileRow row;
    row.cells[FileId] = QString::number(id);
    row.cells[OldName] = name;
    const Platform::FileDetails details = Platform::readFileDetails(folder + name);
    row.cells[fileLX] = details.typeDescription;
    row.cells[fileDX] = sizeText(details.size);
    row.cells[fileSX] = AttributeText(details.attributes);
    row.cells[CTime] = Platform::dateTimeText(details.created, locale);
    row.cells[ETime] = Platform::dateTimeText(details.modified, locale);
    row.cells[VTime] = Platform::dateTimeText(details.accessed, locale);
    return row;
}

} // namespace App
